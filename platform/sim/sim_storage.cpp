#include "platform/sim/sim_storage.h"

#include "platform/sim/name_compare.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_handheld.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint32_t MEGABYTE = 1u << 20;

struct PathParts {
    std::u16string_view folder; // without the backslash that ends it
    std::u16string_view name;
};

PathParts split(std::u16string_view path) {
    const std::size_t last = path.rfind(u'\\');
    if (last == std::u16string_view::npos) {
        return PathParts{{}, path};
    }
    return PathParts{path.substr(0, last), path.substr(last + 1)};
}

// Walks name and pattern together; at a mismatch the last * seen takes one
// more character and the walk goes on from there.
bool nameMatches(std::u16string_view pattern, std::u16string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t afterStar = std::u16string_view::npos;
    std::size_t starTakesUpTo = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            afterStar = ++p;
            starTakesUpTo = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (afterStar != std::u16string_view::npos) {
            p = afterStar;
            n = ++starTakesUpTo;
        } else {
            return false;
        }
    }
    p = std::min(pattern.find_first_not_of(u'*', p), pattern.size());
    return p == pattern.size() || pattern.substr(p) == u".*";
}

int matchingFiles(const char16_t* pattern) {
    if (pattern == nullptr) {
        return 0;
    }
    const PathParts wanted = split(pattern);
    int matches = 0;
    for (int i = 0; i < simFileCount(); ++i) {
        const PathParts file = split(simFilePath(i));
        if (samePath(file.folder, wanted.folder) && nameMatches(wanted.name, file.name)) {
            ++matches;
        }
    }
    return matches;
}

SearchHandle beginSearch(int matches) {
    if (matches == 0) {
        return SearchHandle::None;
    }
    const std::uintptr_t handle = ++simStorage.lastSearch;
    simStorage.searchMatchesLeft[handle] = matches - 1;
    return static_cast<SearchHandle>(handle);
}

bool nextMatch(SearchHandle search) {
    const auto found = simStorage.searchMatchesLeft.find(static_cast<std::uintptr_t>(search));
    if (found == simStorage.searchMatchesLeft.end() || found->second == 0) {
        return false;
    }
    --found->second;
    return true;
}

void endSearch(SearchHandle search) {
    simStorage.searchMatchesLeft.erase(static_cast<std::uintptr_t>(search));
}

std::vector<std::u16string>::iterator cardNamed(const char16_t* name) {
    return std::ranges::find_if(
        simStorage.cards, [name](const std::u16string& card) { return samePath(card, name); });
}

} // namespace

SimStorage& simStorage = simHandheld.storage;

SimStorage simStorageSwitchedOn() {
    SimStorage storage{};
    storage.store = StoreInformation{32 * MEGABYTE, 21 * MEGABYTE};
    return storage;
}

bool simInsertStorageCard(const char16_t* name) {
    if (name == nullptr || name[0] == u'\0') {
        return false;
    }
    if (cardNamed(name) == simStorage.cards.end()) {
        simStorage.cards.emplace_back(name);
    }
    return true;
}

bool simRemoveStorageCard(const char16_t* name) {
    if (name == nullptr) {
        return false;
    }
    const auto card = cardNamed(name);
    if (card == simStorage.cards.end()) {
        return false;
    }
    simStorage.cards.erase(card);
    return true;
}

int simLiveSearches() {
    return static_cast<int>(simStorage.searchMatchesLeft.size());
}

StoreInformation queryStoreInformation() {
    return simStorage.storeQueryFails ? StoreInformation{} : simStorage.store;
}

SearchHandle beginFileSearch(const char16_t* pattern) {
    return beginSearch(matchingFiles(pattern));
}

bool nextFileMatch(SearchHandle search) {
    return nextMatch(search);
}

void endFileSearch(SearchHandle search) {
    endSearch(search);
}

SearchHandle beginStorageCardSearch() {
    return beginSearch(static_cast<int>(simStorage.cards.size()));
}

bool nextStorageCard(SearchHandle search) {
    return nextMatch(search);
}

void endStorageCardSearch(SearchHandle search) {
    endSearch(search);
}

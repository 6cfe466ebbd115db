// File searches through FindFirstFileW, counting the searches begun and not yet
// ended, the device's storage-card searches among them.

#include "platform/storage.h"
#include "platform/win32/live_counts.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/search_handles.h"
#include "platform/win32/wide_text.h"

namespace {

int openSearches = 0;

} // namespace

SearchHandle countedSearch(HANDLE found) {
    if (found == INVALID_HANDLE_VALUE) {
        return SearchHandle::None;
    }
    ++openSearches;
    return handleOf<SearchHandle>(found);
}

void endCountedSearch(SearchHandle search) {
    if (search != SearchHandle::None && FindClose(native<HANDLE>(search)) != FALSE) {
        --openSearches;
    }
}

SearchHandle beginFileSearch(const char16_t* pattern) {
    if (pattern == nullptr) {
        return SearchHandle::None;
    }
    WIN32_FIND_DATAW found;
    return countedSearch(FindFirstFileW(wide(pattern), &found));
}

bool nextFileMatch(SearchHandle search) {
    WIN32_FIND_DATAW found;
    return search != SearchHandle::None && FindNextFileW(native<HANDLE>(search), &found) != FALSE;
}

void endFileSearch(SearchHandle search) {
    endCountedSearch(search);
}

int liveSearches() {
    return openSearches;
}

#pragma once
// The object store, file searches and storage cards.

#include <cstdint>

struct StoreInformation {
    std::uint32_t storeSize; // bytes
    std::uint32_t freeSize;
};

// The object store's size and free space; zero when the query fails.
StoreInformation queryStoreInformation();

enum class SearchHandle : std::uintptr_t { None = 0 };

// A search for the files and folders matching `pattern` (a path whose last part
// may hold * and ?); a folder's "." and ".." entries are never matches, as the
// device has none. Begin gives None when nothing matches; otherwise the
// search stands on the first match and `next` moves to the following one,
// false when there is none. End closes the search.
SearchHandle beginFileSearch(const char16_t* pattern);
bool nextFileMatch(SearchHandle search);
void endFileSearch(SearchHandle search);

// The same walk over the storage cards that are inserted.
SearchHandle beginStorageCardSearch();
bool nextStorageCard(SearchHandle search);
void endStorageCardSearch(SearchHandle search);

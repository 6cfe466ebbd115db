// The handheld's object store and storage cards (built only for the device).
// A storage card search hands out a handle of FindFirstFile's kind, which
// FindClose ends and the file searches count.

#include "platform/storage.h"
#include "platform/win32/ce/ce_sdk.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/search_handles.h"

StoreInformation queryStoreInformation() {
    STORE_INFORMATION store{};
    if (GetStoreInformation(&store) == FALSE) {
        return StoreInformation{};
    }
    return StoreInformation{store.dwStoreSize, store.dwFreeSize};
}

SearchHandle beginStorageCardSearch() {
    WIN32_FIND_DATA found;
    return countedSearch(handleOf<SearchHandle>(FindFirstFlashCard(&found)));
}

bool nextStorageCard(SearchHandle search) {
    WIN32_FIND_DATA found;
    return search != SearchHandle::None &&
           FindNextFlashCard(native<HANDLE>(search), &found) != FALSE;
}

void endStorageCardSearch(SearchHandle search) {
    endCountedSearch(search);
}

// A desktop PC's nearest equivalents of the handheld's object store and storage
// cards. The store is the disk that holds the Windows folder: its size and the
// free space this program may use, each cut to the device's 32 bits (a larger
// disk reports 4 GB less one byte). A desktop has no storage cards, so a search
// for them finds none.

#include "platform/storage.h"

#include "platform/win32/device_sizes.h"

#include <windows.h>

StoreInformation queryStoreInformation() {
    wchar_t windowsFolder[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    if (length == 0 || length >= MAX_PATH ||
        GetDiskFreeSpaceExW(windowsFolder, &available, &total, nullptr) == FALSE) {
        return StoreInformation{};
    }
    return StoreInformation{fittedToDevice(total.QuadPart), fittedToDevice(available.QuadPart)};
}

SearchHandle beginStorageCardSearch() {
    return SearchHandle::None;
}

bool nextStorageCard(SearchHandle) {
    return false;
}

void endStorageCardSearch(SearchHandle) {}

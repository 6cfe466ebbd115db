// File searches through FindFirstFileW, counting the searches begun and not yet
// ended, the device's storage-card searches among them. A desktop file system
// lists a folder's "." and ".." entries as matches of "*.*", which the device's
// object store does not have: they are passed over, so a folder holding nothing
// else gives no search.

#include "platform/storage.h"
#include "platform/win32/live_counts.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/search_handles.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

namespace {

int openSearches = 0;

bool isDotEntry(const WIN32_FIND_DATAW& found) {
    const wchar_t* name = found.cFileName;
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Moves on from the dot entries to the first other match; false when none follows.
bool passDotEntries(HANDLE search, WIN32_FIND_DATAW& found) {
    while (isDotEntry(found)) {
        if (!FindNextFileW(search, &found)) {
            return false;
        }
    }
    return true;
}

} // namespace

SearchHandle countedSearch(SearchHandle found) {
    if (found == handleOf<SearchHandle>(INVALID_HANDLE_VALUE)) {
        return SearchHandle::None;
    }
    ++openSearches;
    return found;
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
    const HANDLE search = FindFirstFileW(wide(pattern), &found);
    if (search != INVALID_HANDLE_VALUE && !passDotEntries(search, found)) {
        FindClose(search);
        return SearchHandle::None;
    }
    return countedSearch(handleOf<SearchHandle>(search));
}

bool nextFileMatch(SearchHandle search) {
    if (search == SearchHandle::None) {
        return false;
    }
    const HANDLE handle = native<HANDLE>(search);
    WIN32_FIND_DATAW found;
    return FindNextFileW(handle, &found) != FALSE && passDotEntries(handle, found);
}

void endFileSearch(SearchHandle search) {
    endCountedSearch(search);
}

int liveSearches() {
    return openSearches;
}

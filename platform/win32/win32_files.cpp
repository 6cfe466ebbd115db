#include "platform/files.h"
#include "platform/whole_text.h"
#include "platform/win32/shell_folder_path.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

bool specialFolderPath(int folder, char16_t* buffer, std::size_t capacity) {
    char16_t path[MAX_PATH] = {};
    const bool found = shellSpecialFolderPath(folder, path);
    return copyWholeText(found ? path : u"", buffer, capacity) && found;
}

bool fileExists(const char16_t* path) {
    if (path == nullptr) {
        return false;
    }
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(wide(path), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}

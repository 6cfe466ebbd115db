#include "tests/platform/contract_folders.h"

// The simulated file system keeps no folders: a folder is there as soon as a
// path names it and holds the files added under it.
std::u16string makeEmptyFolder(const char16_t* name) {
    return std::u16string(u"\\Temp\\") + name;
}

void removeFolder(const std::u16string&) {}

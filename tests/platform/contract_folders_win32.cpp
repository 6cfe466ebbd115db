#include "tests/platform/contract_folders.h"

#include <windows.h>

#include <gtest/gtest.h>

// In the user's folder for temporary files.
std::u16string makeEmptyFolder(const char16_t* name) {
    wchar_t temporary[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    EXPECT_GT(length, 0u);
    std::u16string path(reinterpret_cast<const char16_t*>(temporary), length);
    if (!path.empty() && path.back() == u'\\') {
        path.pop_back();
    }
    path += u'\\';
    path += name;
    RemoveDirectoryW(reinterpret_cast<const wchar_t*>(path.c_str())); // left by a broken run
    EXPECT_TRUE(CreateDirectoryW(reinterpret_cast<const wchar_t*>(path.c_str()), nullptr));
    return path;
}

void removeFolder(const std::u16string& path) {
    EXPECT_TRUE(RemoveDirectoryW(reinterpret_cast<const wchar_t*>(path.c_str())));
}

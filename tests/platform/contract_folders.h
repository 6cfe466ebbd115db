#pragma once
// Folders of the contract tests' own, which the program never makes: a folder
// made empty for a test and removed afterwards.

#include <string>

// The path (without a backslash at its end) of folder `name`, which exists
// and holds nothing afterwards.
std::u16string makeEmptyFolder(const char16_t* name);

// Removes the folder made by makeEmptyFolder, once its files are deleted.
void removeFolder(const std::u16string& path);

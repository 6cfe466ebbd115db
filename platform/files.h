#pragma once
// Folders and files.

#include <cstddef>

inline constexpr int FOLDER_STARTUP = 7; // the programs started with the system

// Writes the path of special folder `folder` into buffer, creating the folder when
// missing. A path that does not fit (with its terminator) in `capacity`
// characters is not written: the buffer then holds an empty text and the result
// is false.
bool specialFolderPath(int folder, char16_t* buffer, std::size_t capacity);

// True when a file search on this exact path finds something.
bool fileExists(const char16_t* path);

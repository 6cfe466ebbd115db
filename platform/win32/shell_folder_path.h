#pragma once
// The shell's call for a special folder's path, which the desktop names
// SHGetSpecialFolderPathW and the device SHGetSpecialFolderPath.

// Writes the path of special folder `folder` into `path` (room for MAX_PATH
// characters with the terminator), creating the folder when missing; false when
// the shell gives no path.
bool shellSpecialFolderPath(int folder, char16_t* path);

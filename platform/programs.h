#pragma once
// Shortcuts, deleting files, starting programs, and the clean restart.

// Makes a shortcut file at `shortcutPath` that starts `targetPath`; true when
// the shortcut exists afterwards. No path, or no target (none or an empty one),
// makes nothing.
bool createShortcut(const char16_t* shortcutPath, const char16_t* targetPath);

// False when there was no such file to delete (or no path).
bool deleteFile(const char16_t* path);

// Starts `application` with `commandLine` (its arguments; none counts as
// empty); nothing about the new process is kept. True when it was started; no
// application (none or an empty name) starts nothing.
bool startProgram(const char16_t* application, const char16_t* commandLine);

// At the next start the device wipes its stored data and settings and starts
// in its factory state.
void markNextRestartClean();

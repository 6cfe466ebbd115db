#pragma once
// The simulated handheld's state as the host program keeps it between runs: its
// registry (sim_registry.h) and its files (sim_files.h), in a UTF-8 text file.
// The first line is SIM_STATE_HEADER; then one line per registry value:
//     key path <tab> value name <tab> type in decimal <tab> bytes in hex, two digits each
// one line holding only the key path for each key with neither values nor
// subkeys, and one line per file:
//     \file\path                       (a file)
//     \file\path <tab> target path      (a shortcut and what it starts)
// A file's path starts with a backslash, which no key path does. A line's key
// comes with every key above it, so those get no line of their own (files that
// give them one still load). In paths and names "%", tab, carriage return and
// newline are written as %25, %09, %0D and %0A (any %XX decodes to that byte
// when read). Files written before the header came, which hold registry lines
// only, still load.

#include <string>

inline constexpr const char* SIM_STATE_HEADER =
    "# tavil-sim state: the handheld's registry and files";

// Writes the whole registry and every file to `filePath`, in full or not at all
// (through a new file that then takes its place); false when it cannot be written.
bool saveSimState(const char* filePath);

enum class SimStateLoad {
    Loaded,        // the registry and the files are the file's
    Missing,       // no such file
    Unreadable,    // the file cannot be read
    NotAStateFile, // a line is not one that saving writes
};

// Replaces the registry's keys and values and the files with the file's when
// every line reads as one that saving would write (a registry line whose path
// or name is UTF-8 without NUL, a file whose path fits, at most
// SIM_FILE_CAPACITY files); an empty file is an empty handheld. Otherwise the
// registry and the files are left as they were and `problem` says what is wrong
// ("line 3: ..."). So whatever loads is saved and loads again the same. Open
// registry handles stay open (and counted), but reads and writes through one
// whose key is gone fail.
SimStateLoad loadSimState(const char* filePath, std::string& problem);

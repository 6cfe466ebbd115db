#pragma once
// The simulated handheld's registry (sim_registry.h) as the host program keeps
// it between runs: a UTF-8 text file, one line per value:
//     key path <tab> value name <tab> type in decimal <tab> bytes in hex, two digits each
// and one line holding only the key path for each key with neither values nor
// subkeys. A line's key comes with every key above it, so those get no line of
// their own (files that give them one still load). In paths and names "%", tab,
// carriage return and newline are written as %25, %09, %0D and %0A (any %XX
// decodes to that byte when read).
//
// Writes the whole registry to the file; false when it cannot be written.
bool saveSimRegistry(const char* filePath);

// Replaces the registry's keys and values with the file's. A line that saving
// would not write (a blank one, one with a malformed field, or a path or name
// that is not UTF-8 or holds NUL, which no name on the device can) is skipped
// with a message on stderr naming the file and line number; the other lines
// load. So whatever loads is saved and loads again the same. Returns true when
// every line loaded; false when one was skipped, or when the file is missing
// or cannot be read (the registry is then empty). An empty file is an empty
// registry. Open handles stay open (and counted), but reads and writes through
// one whose key is gone fail.
bool loadSimRegistry(const char* filePath);

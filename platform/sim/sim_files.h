#pragma once
// The simulated handheld's file system as tests set it up: the paths of the
// files that exist, with the target of each shortcut, and the paths of the
// special folders. Paths are backslash paths from the root
// ("\Windows\shellres.96.dll") and compare with ASCII letters folded to lower
// case, as the device compares them; other letters must match exactly. A
// search takes its path as it is, without wildcards, and finds only the files
// added: folders are not kept as files here.

#include "platform/sim/sim_path_table.h"

inline constexpr int SIM_FILE_CAPACITY = 32;
inline constexpr int SIM_FOLDER_CAPACITY = 8;

struct SimSpecialFolder {
    int folder;
    char16_t path[SIM_PATH_CAPACITY]; // empty: the folder is unknown
};

struct SimFiles {
    SimPathTable<SIM_FILE_CAPACITY> files;
    char16_t targets[SIM_FILE_CAPACITY][SIM_PATH_CAPACITY]; // of files[i]; empty: no shortcut
    SimSpecialFolder folders[SIM_FOLDER_CAPACITY];
    int folderCount;
};

// No files, and the Startup folder at "\Windows\StartUp".
SimFiles simFilesSwitchedOn();

// Makes the file exist; true when it exists afterwards. No path, one that does
// not start at the root (with a backslash), one that does not fit in
// SIM_PATH_CAPACITY, or a full table adds nothing.
bool simAddFile(const char16_t* path);

// Makes a file of the handheld's ROM exist: a full reset keeps it. True as
// simAddFile.
bool simAddRomFile(const char16_t* path);

// Makes the file exist as a shortcut to `target` (a file already there takes
// the new target); true when it is one afterwards. Adds nothing where
// simAddFile would not, or when the target is missing, empty or too long.
bool simAddShortcut(const char16_t* path, const char16_t* target);

// False when there was no such file.
bool simRemoveFile(const char16_t* path);

int simFileCount();

// The path of file `index`, from 0 to simFileCount() - 1, in no set order (a
// removal moves the last file into the gap); nullptr for any other index.
const char16_t* simFilePath(int index);

// What file `index` starts when it is a shortcut; empty for any other file,
// nullptr for an index that names none.
const char16_t* simFileTarget(int index);

// Gives special folder `folder` its path. An empty path, or one that does not
// fit (then false), leaves the folder unknown: asking for its path fails. False
// and nothing changed when SIM_FOLDER_CAPACITY other folders are known.
bool simSetFolderPath(int folder, const char16_t* path);

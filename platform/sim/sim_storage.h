#pragma once
// The simulated handheld's object store, file searches and storage cards, as
// tests set them up and inspect them.
//
// A file search matches the files of the simulated file system (sim_files.h)
// whose folder is the pattern's folder, the text before its last backslash
// (none: the root, as the device has no current folder), and whose names match
// the pattern's last part. There * stands for any run of characters and ? for
// exactly one, letters compare as the file system compares them, and a ".*"
// that ends the pattern also matches a name without it, so "*.*" matches every
// name, as on Windows. Wildcards in the folder are plain characters. Folders
// are not files here, so a search never lists one. A search takes its matches
// when it begins: files added or removed later do not show in it. A storage
// card search likewise takes the cards inserted when it begins. Searches of
// either kind are numbers handed out in turn, never reused until the handheld
// is reset.

#include "platform/storage.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct SimStorage {
    StoreInformation store;
    bool storeQueryFails;                            // queryStoreInformation gives zeros
    std::vector<std::u16string> cards;               // in the order inserted
    std::map<std::uintptr_t, int> searchMatchesLeft; // after the one each search stands on
    std::uintptr_t lastSearch;
};

extern SimStorage& simStorage; // simHandheld.storage

// A 64 MB handheld's object store of 32 MB with 21 MB free, no storage cards
// and no open searches.
SimStorage simStorageSwitchedOn();

// Inserts a card that the device names `name` ("Storage Card"); true when it
// is inserted afterwards. Names compare as paths do; no name or an empty one
// inserts nothing.
bool simInsertStorageCard(const char16_t* name);

// False when no such card was inserted.
bool simRemoveStorageCard(const char16_t* name);

// Searches begun and not yet ended.
int simLiveSearches();

#pragma once
// The keys and values that the simulated registry stores, as its file format
// (sim_registry_file.cpp) lists them and loads them back. The registry itself
// (sim_registry.cpp) keeps them, with its handles, in the handheld's state
// (SimHandheld); everything else reaches them through sim_registry.h and
// platform/registry.h.

#include "platform/sim/sim_registry.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct SimStoredValue {
    std::u16string name; // as first written
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
};

struct SimStoredKey {
    std::u16string path;                             // as first created
    std::map<std::u16string, SimStoredValue> values; // by folded name
};

struct SimOpenKey {
    std::u16string foldedPath;
    std::uint32_t access;
};

// Switched on, the registry is empty, with no open handles and no faults.
struct SimRegistry {
    std::map<std::u16string, SimStoredKey> keys; // by folded path
    std::map<std::uintptr_t, SimOpenKey> handles;
    std::uintptr_t lastHandle;
    SimRegistryFaults faults;
};

// Every key by its folded path: in the order of the paths with ASCII letters
// folded to lower case.
const std::map<std::u16string, SimStoredKey>& simStoredKeys();

// Whether any key lies below the one at `foldedPath`.
bool simStoredKeyHasSubkeys(const std::u16string& foldedPath);

// Whether `path` names a key: it is not empty and has no empty part.
bool simIsRegistryKeyPath(std::u16string_view path);

// The key at a path that names one, created with every key above it that is missing.
SimStoredKey& simMakeStoredKey(std::u16string_view path);

// Stores the value under `key`; a value already there keeps the name it was
// first written with.
void simStoreValue(SimStoredKey& key, std::u16string_view name, std::uint32_t type,
                   std::vector<std::uint8_t> bytes);

// Removes every key and value. Open handles stay open (and counted), but reads
// and writes through one whose key is gone fail.
void simRemoveStoredKeys();

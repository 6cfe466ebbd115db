#pragma once
// The simulated handheld's registry under the local-machine root, as tests set
// it up and inspect it. The host program keeps it in a file between runs
// (sim_registry_file.h).
//
// Key paths are parts joined by backslashes ("SOFTWARE\Dunmar\Tavil"). A path
// that is empty or has an empty part (a leading, trailing or doubled backslash)
// names no key: desktop Windows skips a trailing or doubled one, so the stricter
// sim catches such paths in the program. Paths and value names compare with
// ASCII letters folded to lower case; other letters (which Windows folds too)
// must match exactly. A value is a type code with any number of bytes. Handles
// are numbers handed out in turn, never reused until the registry is reset.
// Subkeys are listed in the order of their names with ASCII letters folded to
// lower case, compared character by character, each by the name it was first
// created with. Counting them needs a handle that may query (KEY_QUERY_VALUE)
// and listing them one that may enumerate (KEY_ENUMERATE_SUB_KEYS), as on
// Windows: a key opened for writing does neither (Wine lets it count).

#include <cstddef>
#include <cstdint>
#include <vector>

// Each flag that is set makes that operation fail.
struct SimRegistryFaults {
    bool createKey; // createRegistryKey returns None and creates nothing
    bool setValue;  // setRegistryNumber stores nothing (it reports nothing either way)
};

extern SimRegistryFaults& simRegistryFaults; // simHandheld.registry.faults

// An empty registry, no open handles and no faults, as on a handheld just
// switched on.
void resetSimRegistry();

// Handles handed out and not yet closed.
int simLiveRegistryKeys();

// Stores a value of any type and size, creating its key and the keys above it;
// an invalid key path stores nothing. `bytes` holds `size` bytes.
void simSetRegistryValue(const char16_t* keyPath, const char16_t* name, std::uint32_t type,
                         const void* bytes, std::size_t size);

// The type and bytes of a value; false when it does not exist.
bool simGetRegistryValue(const char16_t* keyPath, const char16_t* name, std::uint32_t& type,
                         std::vector<std::uint8_t>& bytes);

// A value of exactly 4 bytes, whatever its type, read as a number; false (and
// `value` unchanged) when it does not exist or has another size.
bool simGetRegistryNumber(const char16_t* keyPath, const char16_t* name, std::uint32_t& value);

bool simRegistryValueExists(const char16_t* keyPath, const char16_t* name);
bool simRegistryKeyExists(const char16_t* keyPath);

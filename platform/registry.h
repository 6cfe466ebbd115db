#pragma once
// The registry under the local-machine root: keys by path ("SOFTWARE\Dunmar\Tavil")
// and named 32-bit number values (type 4).

#include <cstddef>
#include <cstdint>

enum class RegistryKey : std::uintptr_t { None = 0 };

inline constexpr std::uint32_t REGISTRY_READ_ACCESS = 0x20019;
inline constexpr std::uint32_t REGISTRY_WRITE_ACCESS = 0x20006;

// Opens an existing key; None when it does not exist or cannot be opened.
RegistryKey openRegistryKey(const char16_t* path, std::uint32_t access);

// Opens the key for writing, creating it (and the keys above it) when missing;
// None when that fails.
RegistryKey createRegistryKey(const char16_t* path);

// Reads the named value into `value` when it holds exactly 4 bytes, whatever its
// type, and returns true; otherwise returns false and leaves `value` unchanged.
bool queryRegistryNumber(RegistryKey key, const char16_t* name, std::uint32_t& value);

// Stores the named value as a 4-byte number (type 4).
void setRegistryNumber(RegistryKey key, const char16_t* name, std::uint32_t value);

// The number of subkeys of the key; false (and `count` unchanged) when the key
// cannot be asked.
bool queryRegistrySubkeyCount(RegistryKey key, std::uint32_t& count);

// The name of the subkey at `index` in `capacity` characters with its
// terminator; false when there is no subkey at that index or its name does not
// fit (the buffer then holds an empty text).
bool registrySubkeyName(RegistryKey key, std::uint32_t index, char16_t* buffer,
                        std::size_t capacity);

void closeRegistryKey(RegistryKey key);

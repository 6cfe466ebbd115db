#pragma once
// The registry under the local-machine root: keys by path ("SOFTWARE\Dunmar\Tavil")
// and named 32-bit number values (type 4).

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

void closeRegistryKey(RegistryKey key);

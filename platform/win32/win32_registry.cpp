// The registry under HKEY_LOCAL_MACHINE, counting the keys opened and not yet
// closed.

#include "platform/registry.h"
#include "platform/win32/live_counts.h"
#include "platform/win32/native_handles.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

int openKeys = 0;

HKEY keyHandle(RegistryKey key) {
    return native<HKEY>(key);
}

// The key that a call returning `result` opened, counted; None when it failed.
RegistryKey counted(LONG result, HKEY key) {
    if (result != ERROR_SUCCESS) {
        return RegistryKey::None;
    }
    ++openKeys;
    return handleOf<RegistryKey>(key);
}

// Windows opens the root itself for an empty path; the program only ever names keys below it.
bool namesNoKey(const char16_t* path) {
    return path == nullptr || path[0] == u'\0';
}

} // namespace

RegistryKey openRegistryKey(const char16_t* path, std::uint32_t access) {
    if (namesNoKey(path)) {
        return RegistryKey::None;
    }
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(path), 0, access, &key);
    return counted(result, key);
}

RegistryKey createRegistryKey(const char16_t* path) {
    if (namesNoKey(path)) {
        return RegistryKey::None;
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, wide(path), 0, nullptr, 0,
                                        REGISTRY_WRITE_ACCESS, nullptr, &key, &disposition);
    return counted(result, key);
}

bool queryRegistryNumber(RegistryKey key, const char16_t* name, std::uint32_t& value) {
    BYTE bytes[sizeof value];
    DWORD size = sizeof bytes;
    const LONG result =
        RegQueryValueExW(keyHandle(key), wide(name), nullptr, nullptr, bytes, &size);
    if (result != ERROR_SUCCESS || size != sizeof bytes) {
        return false;
    }
    std::memcpy(&value, bytes, sizeof bytes);
    return true;
}

void setRegistryNumber(RegistryKey key, const char16_t* name, std::uint32_t value) {
    RegSetValueExW(keyHandle(key), wide(name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
}

bool queryRegistrySubkeyCount(RegistryKey key, std::uint32_t& count) {
    DWORD subkeys = 0;
    if (RegQueryInfoKeyW(keyHandle(key), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    count = subkeys;
    return true;
}

// A name that does not fit fails with ERROR_MORE_DATA; then, as after any
// failure, the buffer holds an empty text.
bool registrySubkeyName(RegistryKey key, std::uint32_t index, char16_t* buffer,
                        std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) {
        return false;
    }
    DWORD size = static_cast<DWORD>(std::min<std::size_t>(capacity, 0xFFFFFFFF));
    const LONG result = RegEnumKeyExW(keyHandle(key), index, reinterpret_cast<wchar_t*>(buffer),
                                      &size, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) {
        buffer[0] = u'\0';
    }
    return result == ERROR_SUCCESS;
}

void closeRegistryKey(RegistryKey key) {
    if (RegCloseKey(keyHandle(key)) == ERROR_SUCCESS) {
        --openKeys;
    }
}

int liveRegistryKeys() {
    return openKeys;
}

// The registry under HKEY_LOCAL_MACHINE, counting the keys opened and not yet
// closed.

#include "platform/registry.h"
#include "platform/win32/live_counts.h"
#include "platform/win32/native_handles.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

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

void closeRegistryKey(RegistryKey key) {
    if (RegCloseKey(keyHandle(key)) == ERROR_SUCCESS) {
        --openKeys;
    }
}

int liveRegistryKeys() {
    return openKeys;
}

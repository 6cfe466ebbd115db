#include "platform/sim/sim_registry.h"

#include "platform/registry.h"
#include "platform/sim/name_compare.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry_store.h"
#include "platform/whole_text.h"

#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <utility>

SimRegistryFaults& simRegistryFaults = simHandheld.registry.faults;

namespace {

// The access rights that the registry checks, as Windows defines them.
constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr std::uint32_t REG_DWORD = 4;
constexpr std::size_t NUMBER_SIZE = sizeof(std::uint32_t);

SimRegistry& registry = simHandheld.registry;

std::u16string_view textOrEmpty(const char16_t* text) {
    return text == nullptr ? std::u16string_view{} : std::u16string_view{text};
}

std::u16string folded(std::u16string_view text) {
    std::u16string result(text);
    for (char16_t& c : result) {
        c = foldedAscii(c);
    }
    return result;
}

SimStoredKey* findKey(std::u16string_view path) {
    const auto found = registry.keys.find(folded(path));
    return found == registry.keys.end() ? nullptr : &found->second;
}

const SimStoredValue* findValue(const SimStoredKey* key, const char16_t* name) {
    if (key == nullptr) {
        return nullptr;
    }
    const auto found = key->values.find(folded(textOrEmpty(name)));
    return found == key->values.end() ? nullptr : &found->second;
}

SimStoredKey& keyAt(std::u16string_view path) {
    const auto [entry, added] = registry.keys.try_emplace(folded(path));
    if (added) {
        entry->second.path = path;
    }
    return entry->second;
}

bool readNumber(const SimStoredValue* stored, std::uint32_t& value) {
    if (stored == nullptr || stored->bytes.size() != NUMBER_SIZE) {
        return false;
    }
    std::memcpy(&value, stored->bytes.data(), NUMBER_SIZE);
    return true;
}

RegistryKey handOut(std::u16string_view path, std::uint32_t access) {
    const std::uintptr_t handle = ++registry.lastHandle;
    registry.handles[handle] = SimOpenKey{folded(path), access};
    return static_cast<RegistryKey>(handle);
}

// The key behind an open handle that grants `right`; nullptr otherwise.
SimStoredKey* keyThrough(RegistryKey key, std::uint32_t right) {
    const auto open = registry.handles.find(static_cast<std::uintptr_t>(key));
    if (open == registry.handles.end() || (open->second.access & right) == 0) {
        return nullptr;
    }
    const auto stored = registry.keys.find(open->second.foldedPath);
    return stored == registry.keys.end() ? nullptr : &stored->second;
}

const SimStoredValue* valueAt(const char16_t* keyPath, const char16_t* name) {
    return findValue(findKey(textOrEmpty(keyPath)), name);
}

// The keys directly below `parent`, in the order of their folded paths.
std::vector<const SimStoredKey*> subkeysOf(const SimStoredKey& parent) {
    const std::u16string prefix = folded(parent.path) + u'\\';
    std::vector<const SimStoredKey*> subkeys;
    for (auto below = registry.keys.lower_bound(prefix);
         below != registry.keys.end() && below->first.starts_with(prefix); ++below) {
        if (below->first.find(u'\\', prefix.size()) == std::u16string::npos) {
            subkeys.push_back(&below->second);
        }
    }
    return subkeys;
}

// The subkey listed at `index` below the key behind `key`; nullptr when there
// is none or the handle may not enumerate.
const SimStoredKey* subkeyAt(RegistryKey key, std::uint32_t index) {
    const SimStoredKey* parent = keyThrough(key, KEY_ENUMERATE_SUB_KEYS);
    if (parent == nullptr) {
        return nullptr;
    }
    const std::vector<const SimStoredKey*> subkeys = subkeysOf(*parent);
    return index < subkeys.size() ? subkeys[index] : nullptr;
}

std::u16string lastPart(const std::u16string& path) {
    return path.substr(path.rfind(u'\\') + 1);
}

} // namespace

const std::map<std::u16string, SimStoredKey>& simStoredKeys() {
    return registry.keys;
}

bool simStoredKeyHasSubkeys(const std::u16string& foldedPath) {
    const std::u16string prefix = foldedPath + u'\\';
    const auto below = registry.keys.lower_bound(prefix);
    return below != registry.keys.end() && below->first.starts_with(prefix);
}

bool simIsRegistryKeyPath(std::u16string_view path) {
    return !path.empty() && path.front() != u'\\' && path.back() != u'\\' &&
           path.find(u"\\\\") == std::u16string_view::npos;
}

SimStoredKey& simMakeStoredKey(std::u16string_view path) {
    for (std::size_t end = path.find(u'\\'); end != std::u16string_view::npos;
         end = path.find(u'\\', end + 1)) {
        keyAt(path.substr(0, end));
    }
    return keyAt(path);
}

void simStoreValue(SimStoredKey& key, std::u16string_view name, std::uint32_t type,
                   std::vector<std::uint8_t> bytes) {
    const auto [entry, added] = key.values.try_emplace(folded(name));
    if (added) {
        entry->second.name = name;
    }
    entry->second.type = type;
    entry->second.bytes = std::move(bytes);
}

void simRemoveStoredKeys() {
    registry.keys.clear();
}

RegistryKey openRegistryKey(const char16_t* path, std::uint32_t access) {
    const std::u16string_view keyPath = textOrEmpty(path);
    if (!simIsRegistryKeyPath(keyPath) || findKey(keyPath) == nullptr) {
        return RegistryKey::None;
    }
    return handOut(keyPath, access);
}

RegistryKey createRegistryKey(const char16_t* path) {
    const std::u16string_view keyPath = textOrEmpty(path);
    if (simRegistryFaults.createKey || !simIsRegistryKeyPath(keyPath)) {
        return RegistryKey::None;
    }
    simMakeStoredKey(keyPath);
    return handOut(keyPath, REGISTRY_WRITE_ACCESS);
}

bool queryRegistryNumber(RegistryKey key, const char16_t* name, std::uint32_t& value) {
    return readNumber(findValue(keyThrough(key, KEY_QUERY_VALUE), name), value);
}

void setRegistryNumber(RegistryKey key, const char16_t* name, std::uint32_t value) {
    SimStoredKey* stored = keyThrough(key, KEY_SET_VALUE);
    if (stored == nullptr || simRegistryFaults.setValue) {
        return;
    }
    std::vector<std::uint8_t> bytes(NUMBER_SIZE);
    std::memcpy(bytes.data(), &value, NUMBER_SIZE);
    simStoreValue(*stored, textOrEmpty(name), REG_DWORD, std::move(bytes));
}

bool queryRegistrySubkeyCount(RegistryKey key, std::uint32_t& count) {
    const SimStoredKey* stored = keyThrough(key, KEY_QUERY_VALUE);
    if (stored == nullptr) {
        return false;
    }
    count = static_cast<std::uint32_t>(subkeysOf(*stored).size());
    return true;
}

bool registrySubkeyName(RegistryKey key, std::uint32_t index, char16_t* buffer,
                        std::size_t capacity) {
    const SimStoredKey* subkey = subkeyAt(key, index);
    const std::u16string name = subkey == nullptr ? std::u16string{} : lastPart(subkey->path);
    return copyWholeText(name.c_str(), buffer, capacity) && subkey != nullptr;
}

void closeRegistryKey(RegistryKey key) {
    registry.handles.erase(static_cast<std::uintptr_t>(key));
}

void resetSimRegistry() {
    registry = SimRegistry{};
}

int simLiveRegistryKeys() {
    return static_cast<int>(registry.handles.size());
}

void simSetRegistryValue(const char16_t* keyPath, const char16_t* name, std::uint32_t type,
                         const void* bytes, std::size_t size) {
    const std::u16string_view path = textOrEmpty(keyPath);
    if (!simIsRegistryKeyPath(path)) {
        return;
    }
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    simStoreValue(simMakeStoredKey(path), textOrEmpty(name), type,
                  std::vector<std::uint8_t>(first, first + size));
}

bool simGetRegistryValue(const char16_t* keyPath, const char16_t* name, std::uint32_t& type,
                         std::vector<std::uint8_t>& bytes) {
    const SimStoredValue* stored = valueAt(keyPath, name);
    if (stored == nullptr) {
        return false;
    }
    type = stored->type;
    bytes = stored->bytes;
    return true;
}

bool simGetRegistryNumber(const char16_t* keyPath, const char16_t* name, std::uint32_t& value) {
    return readNumber(valueAt(keyPath, name), value);
}

bool simRegistryValueExists(const char16_t* keyPath, const char16_t* name) {
    return valueAt(keyPath, name) != nullptr;
}

bool simRegistryKeyExists(const char16_t* keyPath) {
    return findKey(textOrEmpty(keyPath)) != nullptr;
}

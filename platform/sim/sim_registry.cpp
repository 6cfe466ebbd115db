#include "platform/sim/sim_registry.h"

#include "platform/registry.h"
#include "platform/sim/ascii_fold.h"
#include "platform/sim/utf8.h"
#include "platform/whole_text.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <utility>

SimRegistryFaults simRegistryFaults;

namespace {

// The access rights that the registry checks, as Windows defines them.
constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr std::uint32_t REG_DWORD = 4;
constexpr std::size_t NUMBER_SIZE = sizeof(std::uint32_t);

struct StoredValue {
    std::u16string name; // as first written
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
};

struct StoredKey {
    std::u16string path;                          // as first created
    std::map<std::u16string, StoredValue> values; // by folded name
};

struct OpenKey {
    std::u16string foldedPath;
    std::uint32_t access;
};

struct SimRegistry {
    std::map<std::u16string, StoredKey> keys; // by folded path
    std::map<std::uintptr_t, OpenKey> handles;
    std::uintptr_t lastHandle = 0;
};

SimRegistry registry;

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

bool isKeyPath(std::u16string_view path) {
    return !path.empty() && path.front() != u'\\' && path.back() != u'\\' &&
           path.find(u"\\\\") == std::u16string_view::npos;
}

StoredKey* findKey(std::u16string_view path) {
    const auto found = registry.keys.find(folded(path));
    return found == registry.keys.end() ? nullptr : &found->second;
}

const StoredValue* findValue(const StoredKey* key, const char16_t* name) {
    if (key == nullptr) {
        return nullptr;
    }
    const auto found = key->values.find(folded(textOrEmpty(name)));
    return found == key->values.end() ? nullptr : &found->second;
}

StoredKey& keyAt(std::u16string_view path) {
    const auto [entry, added] = registry.keys.try_emplace(folded(path));
    if (added) {
        entry->second.path = path;
    }
    return entry->second;
}

// Creates the key and every key above it that is missing.
StoredKey& makeKey(std::u16string_view path) {
    for (std::size_t end = path.find(u'\\'); end != std::u16string_view::npos;
         end = path.find(u'\\', end + 1)) {
        keyAt(path.substr(0, end));
    }
    return keyAt(path);
}

void storeValue(StoredKey& key, std::u16string_view name, std::uint32_t type,
                std::vector<std::uint8_t> bytes) {
    const auto [entry, added] = key.values.try_emplace(folded(name));
    if (added) {
        entry->second.name = name;
    }
    entry->second.type = type;
    entry->second.bytes = std::move(bytes);
}

bool readNumber(const StoredValue* stored, std::uint32_t& value) {
    if (stored == nullptr || stored->bytes.size() != NUMBER_SIZE) {
        return false;
    }
    std::memcpy(&value, stored->bytes.data(), NUMBER_SIZE);
    return true;
}

RegistryKey handOut(std::u16string_view path, std::uint32_t access) {
    const std::uintptr_t handle = ++registry.lastHandle;
    registry.handles[handle] = OpenKey{folded(path), access};
    return static_cast<RegistryKey>(handle);
}

// The key behind an open handle that grants `right`; nullptr otherwise.
StoredKey* keyThrough(RegistryKey key, std::uint32_t right) {
    const auto open = registry.handles.find(static_cast<std::uintptr_t>(key));
    if (open == registry.handles.end() || (open->second.access & right) == 0) {
        return nullptr;
    }
    const auto stored = registry.keys.find(open->second.foldedPath);
    return stored == registry.keys.end() ? nullptr : &stored->second;
}

const StoredValue* valueAt(const char16_t* keyPath, const char16_t* name) {
    return findValue(findKey(textOrEmpty(keyPath)), name);
}

// Whether any key lies below the one at `foldedPath`.
bool hasSubkeys(const std::u16string& foldedPath) {
    const std::u16string prefix = foldedPath + u'\\';
    const auto below = registry.keys.lower_bound(prefix);
    return below != registry.keys.end() && below->first.starts_with(prefix);
}

// The keys directly below `parent`, in the order of their folded paths.
std::vector<const StoredKey*> subkeysOf(const StoredKey& parent) {
    const std::u16string prefix = folded(parent.path) + u'\\';
    std::vector<const StoredKey*> subkeys;
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
const StoredKey* subkeyAt(RegistryKey key, std::uint32_t index) {
    const StoredKey* parent = keyThrough(key, KEY_ENUMERATE_SUB_KEYS);
    if (parent == nullptr) {
        return nullptr;
    }
    const std::vector<const StoredKey*> subkeys = subkeysOf(*parent);
    return index < subkeys.size() ? subkeys[index] : nullptr;
}

std::u16string lastPart(const std::u16string& path) {
    return path.substr(path.rfind(u'\\') + 1);
}

} // namespace

RegistryKey openRegistryKey(const char16_t* path, std::uint32_t access) {
    const std::u16string_view keyPath = textOrEmpty(path);
    if (!isKeyPath(keyPath) || findKey(keyPath) == nullptr) {
        return RegistryKey::None;
    }
    return handOut(keyPath, access);
}

RegistryKey createRegistryKey(const char16_t* path) {
    const std::u16string_view keyPath = textOrEmpty(path);
    if (simRegistryFaults.createKey || !isKeyPath(keyPath)) {
        return RegistryKey::None;
    }
    makeKey(keyPath);
    return handOut(keyPath, REGISTRY_WRITE_ACCESS);
}

bool queryRegistryNumber(RegistryKey key, const char16_t* name, std::uint32_t& value) {
    return readNumber(findValue(keyThrough(key, KEY_QUERY_VALUE), name), value);
}

void setRegistryNumber(RegistryKey key, const char16_t* name, std::uint32_t value) {
    StoredKey* stored = keyThrough(key, KEY_SET_VALUE);
    if (stored == nullptr || simRegistryFaults.setValue) {
        return;
    }
    std::vector<std::uint8_t> bytes(NUMBER_SIZE);
    std::memcpy(bytes.data(), &value, NUMBER_SIZE);
    storeValue(*stored, textOrEmpty(name), REG_DWORD, std::move(bytes));
}

bool queryRegistrySubkeyCount(RegistryKey key, std::uint32_t& count) {
    const StoredKey* stored = keyThrough(key, KEY_QUERY_VALUE);
    if (stored == nullptr) {
        return false;
    }
    count = static_cast<std::uint32_t>(subkeysOf(*stored).size());
    return true;
}

bool registrySubkeyName(RegistryKey key, std::uint32_t index, char16_t* buffer,
                        std::size_t capacity) {
    const StoredKey* subkey = subkeyAt(key, index);
    const std::u16string name = subkey == nullptr ? std::u16string{} : lastPart(subkey->path);
    return copyWholeText(name.c_str(), buffer, capacity) && subkey != nullptr;
}

void closeRegistryKey(RegistryKey key) {
    registry.handles.erase(static_cast<std::uintptr_t>(key));
}

void resetSimRegistry() {
    registry = SimRegistry{};
    simRegistryFaults = SimRegistryFaults{};
}

int simLiveRegistryKeys() {
    return static_cast<int>(registry.handles.size());
}

void simSetRegistryValue(const char16_t* keyPath, const char16_t* name, std::uint32_t type,
                         const void* bytes, std::size_t size) {
    const std::u16string_view path = textOrEmpty(keyPath);
    if (!isKeyPath(path)) {
        return;
    }
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    storeValue(makeKey(path), textOrEmpty(name), type,
               std::vector<std::uint8_t>(first, first + size));
}

bool simGetRegistryValue(const char16_t* keyPath, const char16_t* name, std::uint32_t& type,
                         std::vector<std::uint8_t>& bytes) {
    const StoredValue* stored = valueAt(keyPath, name);
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

// The registry file: see saveSimRegistry in sim_registry.h for its lines.
namespace {

constexpr char HEX_DIGITS[] = "0123456789abcdef";

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The byte written as two hex digits at `at`; -1 when they are not hex digits.
int hexByteAt(std::string_view text, std::size_t at) {
    if (at + 1 >= text.size()) {
        return -1;
    }
    const int high = hexDigitValue(text[at]);
    const int low = hexDigitValue(text[at + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

void appendHexByte(std::string& text, std::uint8_t byte) {
    text += HEX_DIGITS[byte >> 4];
    text += HEX_DIGITS[byte & 0xF];
}

std::string utf8Of(const std::u16string& text) {
    std::string utf8(text.size() * 3 + 1, '\0'); // a UTF-16 unit needs at most 3 bytes
    utf8.resize(utf16ToUtf8(text.c_str(), utf8.data(), utf8.size()));
    return utf8;
}

std::string encodeText(const std::u16string& text) {
    std::string encoded;
    for (const char c : utf8Of(text)) {
        if (c == '%' || c == '\t' || c == '\r' || c == '\n') {
            encoded += '%';
            appendHexByte(encoded, static_cast<std::uint8_t>(c));
        } else {
            encoded += c;
        }
    }
    return encoded;
}

// Takes only text that encodeText gives back byte for byte: UTF-8 without NUL
// (names end at NUL on the device), so that what loads is saved and loads the same.
bool decodeText(std::string_view field, std::u16string& text) {
    std::string utf8;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] == '\r') {
            return false; // always written as %0D: a raw one is a line break from another system
        }
        if (field[at] != '%') {
            utf8 += field[at];
            continue;
        }
        const int byte = hexByteAt(field, at + 1);
        if (byte < 0) {
            return false;
        }
        utf8 += static_cast<char>(byte);
        at += 2;
    }
    text.assign(utf8.size() + 1, u'\0'); // a UTF-8 byte gives at most one UTF-16 unit
    text.resize(utf8ToUtf16(utf8.data(), utf8.data() + utf8.size(), text.data(), text.size()));
    return utf8Of(text) == utf8;
}

std::string encodeBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        appendHexByte(text, byte);
    }
    return text;
}

bool decodeBytes(std::string_view field, std::vector<std::uint8_t>& bytes) {
    for (std::size_t at = 0; at < field.size(); at += 2) {
        const int byte = hexByteAt(field, at);
        if (byte < 0) {
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return true;
}

bool decodeType(std::string_view field, std::uint32_t& type) {
    constexpr std::uint64_t LARGEST = 0xFFFFFFFF;
    std::uint64_t value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > LARGEST) {
            return false;
        }
    }
    type = static_cast<std::uint32_t>(value);
    return !field.empty();
}

// A key above others needs no line of its own: loading their lines creates it.
void appendKeyLines(std::string& text, const std::u16string& foldedPath, const StoredKey& key) {
    const std::string path = encodeText(key.path);
    if (key.values.empty() && !hasSubkeys(foldedPath)) {
        text += path + '\n';
    }
    for (const auto& [foldedName, value] : key.values) {
        text += path + '\t' + encodeText(value.name) + '\t' + std::to_string(value.type) + '\t' +
                encodeBytes(value.bytes) + '\n';
    }
}

std::vector<std::string_view> splitAtTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t begin = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string_view::npos;
         tab = line.find('\t', begin)) {
        fields.push_back(line.substr(begin, tab - begin));
        begin = tab + 1;
    }
    fields.push_back(line.substr(begin));
    return fields;
}

// Stores what the line holds; false, storing nothing, when it is malformed.
bool loadLine(std::string_view line) {
    const std::vector<std::string_view> fields = splitAtTabs(line);
    const bool keyOnly = fields.size() == 1;
    std::u16string path;
    std::u16string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
    if (!decodeText(fields[0], path) || !isKeyPath(path) ||
        !(keyOnly || (fields.size() == 4 && decodeText(fields[1], name) &&
                      decodeType(fields[2], type) && decodeBytes(fields[3], bytes)))) {
        return false;
    }
    StoredKey& key = makeKey(path);
    if (!keyOnly) {
        storeValue(key, name, type, std::move(bytes));
    }
    return true;
}

// Loads every line it can; false when any was skipped.
bool loadLines(const char* filePath, std::string_view text) {
    bool whole = true;
    std::size_t lineNumber = 1;
    for (std::size_t begin = 0; begin < text.size(); ++lineNumber) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size(); // the last line may lack its newline
        }
        if (!loadLine(text.substr(begin, end - begin))) {
            std::fprintf(stderr, "%s:%zu: skipped, not a registry key or value\n", filePath,
                         lineNumber);
            whole = false;
        }
        begin = end + 1;
    }
    return whole;
}

bool readFile(const char* filePath, std::string& text) {
    std::FILE* file = std::fopen(filePath, "rb");
    if (file == nullptr) {
        return false;
    }
    char chunk[4096];
    std::size_t read = 0;
    while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, read);
    }
    const bool whole = std::ferror(file) == 0;
    std::fclose(file);
    return whole;
}

bool writeFile(const char* filePath, const std::string& text) {
    std::FILE* file = std::fopen(filePath, "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

bool saveSimRegistry(const char* filePath) {
    if (filePath == nullptr) {
        return false;
    }
    std::string text;
    for (const auto& [foldedPath, key] : registry.keys) {
        appendKeyLines(text, foldedPath, key);
    }
    return writeFile(filePath, text);
}

bool loadSimRegistry(const char* filePath) {
    registry.keys.clear();
    std::string text;
    return filePath != nullptr && readFile(filePath, text) && loadLines(filePath, text);
}

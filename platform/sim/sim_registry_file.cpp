#include "platform/sim/sim_registry_file.h"

#include "platform/sim/sim_registry_store.h"
#include "platform/sim/utf8.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
void appendKeyLines(std::string& text, const std::u16string& foldedPath, const SimStoredKey& key) {
    const std::string path = encodeText(key.path);
    if (key.values.empty() && !simStoredKeyHasSubkeys(foldedPath)) {
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
    if (!decodeText(fields[0], path) || !simIsRegistryKeyPath(path) ||
        !(keyOnly || (fields.size() == 4 && decodeText(fields[1], name) &&
                      decodeType(fields[2], type) && decodeBytes(fields[3], bytes)))) {
        return false;
    }
    SimStoredKey& key = simMakeStoredKey(path);
    if (!keyOnly) {
        simStoreValue(key, name, type, std::move(bytes));
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
    for (const auto& [foldedPath, key] : simStoredKeys()) {
        appendKeyLines(text, foldedPath, key);
    }
    return writeFile(filePath, text);
}

bool loadSimRegistry(const char* filePath) {
    simRemoveStoredKeys();
    std::string text;
    return filePath != nullptr && readFile(filePath, text) && loadLines(filePath, text);
}

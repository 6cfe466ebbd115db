#include "platform/sim/sim_registry_file.h"

#include "platform/sim/name_compare.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry_store.h"
#include "platform/sim/utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
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

// Files by their paths with ASCII letters folded, as keys are listed.
std::vector<int> filesInOrder() {
    std::vector<int> order;
    for (int i = 0; i < simFileCount(); ++i) {
        order.push_back(i);
    }
    std::ranges::sort(order, [](int a, int b) {
        const std::u16string_view first = simFilePath(a);
        const std::u16string_view second = simFilePath(b);
        return std::ranges::lexicographical_compare(first, second, {}, foldedAscii, foldedAscii);
    });
    return order;
}

void appendFileLines(std::string& text) {
    for (const int file : filesInOrder()) {
        text += encodeText(simFilePath(file));
        const std::u16string target = simFileTarget(file);
        if (!target.empty()) {
            text += '\t' + encodeText(target);
        }
        text += '\n';
    }
}

// Stores the registry key or value the line holds; false, storing nothing, when it is malformed.
bool loadRegistryLine(std::string_view line) {
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

// Adds the file or shortcut the line holds; false when it is malformed or does not fit.
bool loadFileLine(std::string_view line) {
    const std::vector<std::string_view> fields = splitAtTabs(line);
    std::u16string path;
    std::u16string target;
    if (fields.size() > 2 || !decodeText(fields[0], path)) {
        return false;
    }
    if (fields.size() == 1) {
        return simAddFile(path.c_str());
    }
    return decodeText(fields[1], target) && simAddShortcut(path.c_str(), target.c_str());
}

// What is wrong with the line; empty when it loaded.
std::string loadLine(std::string_view line) {
    if (!line.starts_with('\\')) {
        return loadRegistryLine(line) ? "" : "not a registry key or value";
    }
    if (simFileCount() == SIM_FILE_CAPACITY) {
        return "more than " + std::to_string(SIM_FILE_CAPACITY) + " files";
    }
    return loadFileLine(line) ? ""
                              : "not a file (or a shortcut and its target) the handheld can hold";
}

void removeFiles() {
    while (simFileCount() > 0) {
        simRemoveFile(simFilePath(simFileCount() - 1));
    }
}

// Loads every line, after the header if there is one; on the first that does
// not load says which and why.
bool loadLines(std::string_view text, std::string& problem) {
    std::size_t lineNumber = 1;
    for (std::size_t begin = 0; begin < text.size(); ++lineNumber) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size(); // the last line may lack its newline
        }
        const std::string_view line = text.substr(begin, end - begin);
        begin = end + 1;
        if (lineNumber == 1 && line == SIM_STATE_HEADER) {
            continue;
        }
        const std::string wrong = loadLine(line);
        if (!wrong.empty()) {
            problem = "line " + std::to_string(lineNumber) + ": " + wrong;
            return false;
        }
    }
    return true;
}

// 0, or the error number of what failed.
int readFile(const char* filePath, std::string& text) {
    errno = 0;
    std::FILE* file = std::fopen(filePath, "rb");
    if (file == nullptr) {
        return errno != 0 ? errno : EIO;
    }
    char chunk[4096];
    std::size_t read = 0;
    while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, read);
    }
    const int error = std::ferror(file) == 0 ? 0 : errno != 0 ? errno : EIO;
    std::fclose(file);
    return error;
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

bool saveSimState(const char* filePath) {
    if (filePath == nullptr) {
        return false;
    }
    std::string text = std::string(SIM_STATE_HEADER) + '\n';
    for (const auto& [foldedPath, key] : simStoredKeys()) {
        appendKeyLines(text, foldedPath, key);
    }
    appendFileLines(text);
    const std::string newFile = std::string(filePath) + ".saving";
    if (!writeFile(newFile.c_str(), text) || std::rename(newFile.c_str(), filePath) != 0) {
        std::remove(newFile.c_str());
        return false;
    }
    return true;
}

SimStateLoad loadSimState(const char* filePath, std::string& problem) {
    std::string text;
    const int error = filePath != nullptr ? readFile(filePath, text) : ENOENT;
    if (error == ENOENT) {
        return SimStateLoad::Missing;
    }
    if (error != 0) {
        problem = std::string("it cannot be read: ") + std::strerror(error);
        return SimStateLoad::Unreadable;
    }
    const std::map<std::u16string, SimStoredKey> keysBefore = simStoredKeys();
    const auto filesBefore = std::make_unique<SimFiles>(simHandheld.files);
    simRemoveStoredKeys();
    removeFiles();
    if (!loadLines(text, problem)) {
        simHandheld.registry.keys = keysBefore;
        simHandheld.files = *filesBefore;
        return SimStateLoad::NotAStateFile;
    }
    return SimStateLoad::Loaded;
}

#include "platform/sim/resource_script.h"

#include "platform/sim/utf8.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

// Tokens of the script: words and numbers, quoted strings (kept with their
// quotes), and single punctuation characters; "//" comments and preprocessor
// lines are skipped.
struct Token {
    const char* begin;
    const char* end;

    bool is(const char* word) const {
        const std::size_t length = std::strlen(word);
        return static_cast<std::size_t>(end - begin) == length &&
               std::strncmp(begin, word, length) == 0;
    }
    bool isQuoted() const { return end - begin >= 2 && *begin == '"'; }
};

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

const char* skipSpaceAndComments(const char* at) {
    for (;;) {
        while (std::isspace(static_cast<unsigned char>(*at))) {
            ++at;
        }
        const bool comment = at[0] == '/' && at[1] == '/';
        if (!comment && at[0] != '#') {
            return at;
        }
        while (*at != '\0' && *at != '\n') {
            ++at;
        }
    }
}

Token nextToken(const char*& at) {
    at = skipSpaceAndComments(at);
    const char* begin = at;
    if (*at == '"') {
        for (++at; *at != '\0'; ++at) {
            if (at[0] == '"' && at[1] == '"') {
                ++at; // a doubled quote stands for one quote
            } else if (at[0] == '"') {
                ++at;
                break;
            }
        }
    } else if (isWordChar(*at)) {
        while (isWordChar(*at)) {
            ++at;
        }
    } else if (*at != '\0') {
        ++at;
    }
    return Token{begin, at};
}

std::size_t copyQuoted(const Token& quoted, char16_t* buffer, std::size_t capacity) {
    char bytes[1024];
    std::size_t length = 0;
    for (const char* at = quoted.begin + 1; at + 1 < quoted.end && length < sizeof bytes; ++at) {
        bytes[length++] = *at;
        if (at[0] == '"') {
            ++at;
        }
    }
    return utf8ToUtf16(bytes, bytes + length, buffer, capacity);
}

} // namespace

std::size_t copyScriptString(unsigned id, char16_t* buffer, std::size_t capacity) {
    const char* at = RESOURCE_SCRIPT_TEXT;
    for (Token token = nextToken(at); token.begin != token.end; token = nextToken(at)) {
        if (!token.is("STRINGTABLE")) {
            continue;
        }
        while (!(token = nextToken(at)).is("BEGIN") && token.begin != token.end) {
        }
        for (token = nextToken(at); token.begin != token.end && !token.is("END");
             token = nextToken(at)) {
            const unsigned entryId = static_cast<unsigned>(std::strtoul(token.begin, nullptr, 0));
            Token text = nextToken(at);
            if (text.is(",")) {
                text = nextToken(at);
            }
            if (entryId == id && text.isQuoted()) {
                return copyQuoted(text, buffer, capacity);
            }
        }
    }
    return utf8ToUtf16("", "", buffer, capacity);
}

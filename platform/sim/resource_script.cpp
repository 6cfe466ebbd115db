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

bool isEnd(const Token& token) {
    return token.begin == token.end;
}

unsigned numberOf(const Token& token) {
    return static_cast<unsigned>(std::strtoul(token.begin, nullptr, 0));
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

std::u16string quotedText(const Token& quoted) {
    char16_t text[256];
    copyQuoted(quoted, text, 256);
    return text;
}

// Skips the options after an entry ("GRAYED", "CHECKED" and the like): the
// program sets those itself.
Token skipOptions(const char*& at) {
    Token token = nextToken(at);
    while (token.is(",") ||
           (!isEnd(token) && !token.is("MENUITEM") && !token.is("POPUP") && !token.is("END") &&
            !token.is("BEGIN") && !token.is("{") && !token.is("}"))) {
        token = nextToken(at);
    }
    return token;
}

bool opensBlock(const Token& token) {
    return token.is("BEGIN") || token.is("{");
}
bool closesBlock(const Token& token) {
    return token.is("END") || token.is("}");
}

// Reads the entries of a block whose opening has been read, up to its close.
bool parseMenuBlock(const char*& at, std::vector<ScriptMenuEntry>& entries) {
    Token token = nextToken(at);
    while (!closesBlock(token)) {
        if (isEnd(token)) {
            return false;
        }
        ScriptMenuEntry entry{};
        const bool submenu = token.is("POPUP");
        if (!submenu && !token.is("MENUITEM")) {
            return false;
        }
        Token text = nextToken(at);
        if (!submenu && text.is("SEPARATOR")) {
            entry.kind = ScriptMenuEntry::Kind::Separator;
            token = nextToken(at);
        } else if (!text.isQuoted()) {
            return false;
        } else if (submenu) {
            entry.kind = ScriptMenuEntry::Kind::Submenu;
            entry.text = quotedText(text);
            if (!opensBlock(skipOptions(at)) || !parseMenuBlock(at, entry.entries)) {
                return false;
            }
            token = nextToken(at);
        } else {
            entry.kind = ScriptMenuEntry::Kind::Command;
            entry.text = quotedText(text);
            Token id = nextToken(at);
            if (id.is(",")) {
                id = nextToken(at);
            }
            entry.id = numberOf(id);
            token = skipOptions(at);
        }
        entries.push_back(entry);
    }
    return true;
}

} // namespace

bool parseScriptMenu(unsigned id, std::vector<ScriptMenuEntry>& entries) {
    const char* at = RESOURCE_SCRIPT_TEXT;
    Token previous{at, at};
    for (Token token = nextToken(at); !isEnd(token); previous = token, token = nextToken(at)) {
        if (token.is("MENU") && numberOf(previous) == id && std::isdigit(*previous.begin)) {
            entries.clear();
            return opensBlock(skipOptions(at)) && parseMenuBlock(at, entries);
        }
    }
    return false;
}

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

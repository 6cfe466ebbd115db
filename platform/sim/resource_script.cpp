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

// A number, with its sign when it has one.
long signedNumber(const char*& at) {
    Token token = nextToken(at);
    const bool negative = token.is("-");
    if (negative) {
        token = nextToken(at);
    }
    const long magnitude = static_cast<long>(std::strtoul(token.begin, nullptr, 0));
    return negative ? -magnitude : magnitude;
}

// Reads "a, b, c, ..." numbers after a statement; the commas are optional.
void readNumbers(const char*& at, long* numbers, int count) {
    for (int i = 0; i < count; ++i) {
        const char* before = at;
        if (nextToken(at).is(",")) {
            before = at;
        }
        at = before;
        numbers[i] = signedNumber(at);
    }
}

// "CONTROL text, id, class, style, x, y, width, height", where the text is a
// quoted string or the number of a resource (an icon's).
bool parseControl(const char*& at, ScriptControl& control) {
    const Token text = nextToken(at);
    if (text.isQuoted()) {
        control.text = quotedText(text);
    } else if (std::isdigit(static_cast<unsigned char>(*text.begin))) {
        control.text = u"#";
        for (const char* c = text.begin; c != text.end; ++c) {
            control.text += static_cast<char16_t>(*c);
        }
    } else {
        return false;
    }
    long numbers[6] = {};
    readNumbers(at, numbers, 1);
    nextToken(at); // the comma before the class
    const Token className = nextToken(at);
    if (!className.isQuoted()) {
        return false;
    }
    readNumbers(at, numbers + 1, 5);
    control = ScriptControl{static_cast<int>(numbers[0]),
                            quotedText(className),
                            control.text,
                            static_cast<std::uint32_t>(numbers[1]),
                            static_cast<int>(numbers[2]),
                            static_cast<int>(numbers[3]),
                            static_cast<int>(numbers[4]),
                            static_cast<int>(numbers[5])};
    return true;
}

bool parseDialogBody(const char*& at, ScriptDialog& dialog) {
    for (Token token = nextToken(at); !closesBlock(token); token = nextToken(at)) {
        ScriptControl control{};
        if (!token.is("CONTROL") || !parseControl(at, control)) {
            return false;
        }
        dialog.controls.push_back(control);
    }
    return true;
}

bool parseDialog(const char*& at, ScriptDialog& dialog) {
    long frame[4] = {};
    readNumbers(at, frame, 4);
    dialog.width = static_cast<int>(frame[2]);
    dialog.height = static_cast<int>(frame[3]);
    for (Token token = nextToken(at); !isEnd(token); token = nextToken(at)) {
        if (token.is("STYLE") || token.is("EXSTYLE")) {
            long value = 0;
            readNumbers(at, &value, 1);
            (token.is("STYLE") ? dialog.style : dialog.exStyle) = static_cast<std::uint32_t>(value);
        } else if (token.is("CAPTION")) {
            dialog.caption = quotedText(nextToken(at));
        } else if (token.is("FONT")) {
            long size = 0;
            readNumbers(at, &size, 1);
            nextToken(at); // the comma before the name
            dialog.fontSize = static_cast<int>(size);
            dialog.fontName = quotedText(nextToken(at));
        } else if (opensBlock(token)) {
            return parseDialogBody(at, dialog);
        } else {
            return false;
        }
    }
    return false;
}

// Moves `at` just past "<id> <keyword>"; false when the script has none.
bool findResource(const char*& at, unsigned id, const char* keyword) {
    Token previous{at, at};
    for (Token token = nextToken(at); !isEnd(token); previous = token, token = nextToken(at)) {
        if (token.is(keyword) && std::isdigit(static_cast<unsigned char>(*previous.begin)) &&
            numberOf(previous) == id) {
            return true;
        }
    }
    return false;
}

} // namespace

bool parseScriptDialog(unsigned id, ScriptDialog& dialog) {
    const char* at = RESOURCE_SCRIPT_TEXT;
    dialog = ScriptDialog{};
    return findResource(at, id, "DIALOG") && parseDialog(at, dialog);
}

bool parseScriptMenu(unsigned id, std::vector<ScriptMenuEntry>& entries) {
    const char* at = RESOURCE_SCRIPT_TEXT;
    entries.clear();
    return findResource(at, id, "MENU") && opensBlock(skipOptions(at)) &&
           parseMenuBlock(at, entries);
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

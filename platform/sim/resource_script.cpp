#include "platform/sim/resource_script.h"

#include "platform/sim/utf8.h"

#include <cctype>
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

// The digit's value, or 16 or more when `c` is no digit.
unsigned digitValue(char c) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower >= '0' && lower <= '9') {
        return static_cast<unsigned>(lower - '0');
    }
    return lower >= 'a' && lower <= 'f' ? static_cast<unsigned>(lower - 'a' + 10) : 16;
}

// The value of a number token, decimal or hex after "0x"; false for any other
// token and for a number beyond 32 bits, which nothing in a script can hold.
bool valueOf(const Token& token, std::uint32_t& value) {
    constexpr std::uint64_t LARGEST = 0xFFFFFFFF;
    const bool hex = token.end - token.begin > 2 && token.begin[0] == '0' &&
                     (token.begin[1] == 'x' || token.begin[1] == 'X');
    const unsigned base = hex ? 16 : 10;
    const char* digits = token.begin + (hex ? 2 : 0);
    std::uint64_t number = 0;
    for (const char* c = digits; c != token.end; ++c) {
        const unsigned digit = digitValue(*c);
        if (digit >= base) {
            return false;
        }
        number = number * base + digit;
        if (number > LARGEST) {
            return false;
        }
    }
    value = static_cast<std::uint32_t>(number);
    return digits != token.end;
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

// A number, with its sign when it has one, as the 32 bits the resource
// compiler makes of it (-1 gives 0xFFFFFFFF); false when there is none or it
// needs more bits.
bool readNumber(const char*& at, std::uint32_t& value) {
    constexpr std::uint32_t LARGEST_NEGATIVE = 0x80000000;
    Token token = nextToken(at);
    const bool negative = token.is("-");
    if (negative) {
        token = nextToken(at);
    }
    std::uint32_t magnitude = 0;
    if (!valueOf(token, magnitude) || (negative && magnitude > LARGEST_NEGATIVE)) {
        return false;
    }
    value = negative ? 0u - magnitude : magnitude;
    return true;
}

// Reads "a, b, c, ..." numbers after a statement; the commas are optional.
bool readNumbers(const char*& at, std::uint32_t* numbers, int count) {
    for (int i = 0; i < count; ++i) {
        const char* before = at;
        if (nextToken(at).is(",")) {
            before = at;
        }
        at = before;
        if (!readNumber(at, numbers[i])) {
            return false;
        }
    }
    return true;
}

// Reads the entries of a block whose opening has been read, up to its close;
// `depth` is 1 for the menu's own entries.
bool parseMenuBlock(const char*& at, std::vector<ScriptMenuEntry>& entries, int depth) {
    if (depth > SCRIPT_MENU_DEPTH_LIMIT) {
        return false;
    }
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
            if (!opensBlock(skipOptions(at)) || !parseMenuBlock(at, entry.entries, depth + 1)) {
                return false;
            }
            token = nextToken(at);
        } else {
            entry.kind = ScriptMenuEntry::Kind::Command;
            entry.text = quotedText(text);
            if (!readNumbers(at, &entry.id, 1)) {
                return false;
            }
            token = skipOptions(at);
        }
        entries.push_back(entry);
    }
    return true;
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
    std::uint32_t numbers[6] = {};
    if (!readNumbers(at, numbers, 1)) {
        return false;
    }
    nextToken(at); // the comma before the class
    const Token className = nextToken(at);
    if (!className.isQuoted() || !readNumbers(at, numbers + 1, 5)) {
        return false;
    }
    control = ScriptControl{static_cast<int>(numbers[0]),
                            quotedText(className),
                            control.text,
                            numbers[1],
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
    std::uint32_t frame[4] = {};
    if (!readNumbers(at, frame, 4)) {
        return false;
    }
    dialog.width = static_cast<int>(frame[2]);
    dialog.height = static_cast<int>(frame[3]);
    for (Token token = nextToken(at); !isEnd(token); token = nextToken(at)) {
        if (token.is("STYLE") || token.is("EXSTYLE")) {
            if (!readNumbers(at, token.is("STYLE") ? &dialog.style : &dialog.exStyle, 1)) {
                return false;
            }
        } else if (token.is("CAPTION")) {
            dialog.caption = quotedText(nextToken(at));
        } else if (token.is("FONT")) {
            std::uint32_t size = 0;
            if (!readNumbers(at, &size, 1)) {
                return false;
            }
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
        std::uint32_t number = 0;
        if (token.is(keyword) && valueOf(previous, number) && number == id) {
            return true;
        }
    }
    return false;
}

} // namespace

bool parseScriptDialog(unsigned id, ScriptDialog& dialog, const char* script) {
    const char* at = script;
    dialog = ScriptDialog{};
    return findResource(at, id, "DIALOG") && parseDialog(at, dialog);
}

bool parseScriptMenu(unsigned id, std::vector<ScriptMenuEntry>& entries, const char* script) {
    const char* at = script;
    entries.clear();
    return findResource(at, id, "MENU") && opensBlock(skipOptions(at)) &&
           parseMenuBlock(at, entries, 1);
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
            std::uint32_t entryId = 0;
            const bool numbered = valueOf(token, entryId);
            Token text = nextToken(at);
            if (text.is(",")) {
                text = nextToken(at);
            }
            if (numbered && entryId == id && text.isQuoted()) {
                return copyQuoted(text, buffer, capacity);
            }
        }
    }
    return utf8ToUtf16("", "", buffer, capacity);
}

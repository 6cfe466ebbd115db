#include "platform/sim/utf8.h"

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

// Reads one code point and advances `at`.
char32_t decodeOne(const unsigned char*& at, const unsigned char* end) {
    const unsigned char lead = *at++;
    int continuation = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        continuation = 1;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        continuation = 2;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        continuation = 3;
        value = lead & 0x07;
    } else {
        return REPLACEMENT;
    }
    for (; continuation > 0; --continuation) {
        if (at == end || (*at & 0xC0) != 0x80) {
            return REPLACEMENT;
        }
        value = (value << 6) | (*at++ & 0x3F);
    }
    return value > 0x10FFFF ? REPLACEMENT : value;
}

} // namespace

std::size_t utf8ToUtf16(const char* begin, const char* end, char16_t* buffer,
                        std::size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    std::size_t length = 0;
    auto at = reinterpret_cast<const unsigned char*>(begin);
    const auto stop = reinterpret_cast<const unsigned char*>(end);
    while (at != stop) {
        const char32_t c = decodeOne(at, stop);
        const std::size_t units = c > 0xFFFF ? 2 : 1;
        if (length + units + 1 > capacity) {
            break;
        }
        if (units == 2) {
            buffer[length++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            buffer[length++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            buffer[length++] = static_cast<char16_t>(c);
        }
    }
    buffer[length] = u'\0';
    return length;
}

std::size_t utf16ToUtf8(const char16_t* text, char* buffer, std::size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    std::size_t length = 0;
    while (*text != u'\0') {
        char32_t c = *text++;
        if (c >= 0xD800 && c < 0xDC00 && *text >= 0xDC00 && *text < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (*text++ - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = REPLACEMENT;
        }
        char bytes[4];
        std::size_t count = 0;
        if (c < 0x80) {
            bytes[count++] = static_cast<char>(c);
        } else if (c < 0x800) {
            bytes[count++] = static_cast<char>(0xC0 | (c >> 6));
            bytes[count++] = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes[count++] = static_cast<char>(0xE0 | (c >> 12));
            bytes[count++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[count++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes[count++] = static_cast<char>(0xF0 | (c >> 18));
            bytes[count++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes[count++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[count++] = static_cast<char>(0x80 | (c & 0x3F));
        }
        if (length + count + 1 > capacity) {
            break;
        }
        for (std::size_t i = 0; i < count; ++i) {
            buffer[length++] = bytes[i];
        }
    }
    buffer[length] = '\0';
    return length;
}

std::string utf8Of(const std::u16string& text) {
    std::string utf8(text.size() * 3 + 1, '\0'); // a UTF-16 unit needs at most 3 bytes
    utf8.resize(utf16ToUtf8(text.c_str(), utf8.data(), utf8.size()));
    return utf8;
}

#include "core/text.h"

std::size_t textLength(const char16_t* text) {
    std::size_t length = 0;
    while (text[length] != u'\0') {
        ++length;
    }
    return length;
}

bool textEquals(const char16_t* a, const char16_t* b) {
    for (; *a != u'\0' && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

static bool startsWith(const char16_t* text, const char16_t* prefix) {
    for (; *prefix != u'\0'; ++text, ++prefix) {
        if (*text != *prefix) {
            return false;
        }
    }
    return true;
}

bool textContains(const char16_t* text, const char16_t* part) {
    for (;; ++text) {
        if (startsWith(text, part)) {
            return true;
        }
        if (*text == u'\0') {
            return false;
        }
    }
}

bool appendText(char16_t* buffer, std::size_t capacity, const char16_t* tail) {
    const std::size_t length = textLength(buffer);
    const std::size_t tailLength = textLength(tail);
    if (length + tailLength + 1 > capacity) {
        return false;
    }
    for (std::size_t i = 0; i <= tailLength; ++i) {
        buffer[length + i] = tail[i];
    }
    return true;
}

#pragma once
// Keeping a terminated UTF-16 text in a fixed buffer cut to fit, as the
// simulated handheld keeps window texts and the message boxes it showed.

#include <cstddef>

// Copies as much of `text` as fits into `buffer` of `capacity` characters with
// its terminator and returns the length copied. A capacity of 0 (or no buffer)
// writes nothing; no text counts as an empty one.
inline std::size_t copyCutText(const char16_t* text, char16_t* buffer, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) {
        return 0;
    }
    std::size_t length = 0;
    for (; text != nullptr && text[length] != u'\0' && length + 1 < capacity; ++length) {
        buffer[length] = text[length];
    }
    buffer[length] = u'\0';
    return length;
}

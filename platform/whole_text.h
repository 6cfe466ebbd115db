#pragma once
// Handing a terminated UTF-16 text out into a caller's buffer whole or not at
// all: a path or a name that would be cut names something else.

#include <cstddef>

// Copies `text` with its terminator into `buffer` of `capacity` characters and
// returns true when it fits. When it does not, the buffer holds an empty text
// and the result is false; a capacity of 0 (or no buffer) writes nothing. No
// text counts as an empty one.
inline bool copyWholeText(const char16_t* text, char16_t* buffer, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) {
        return false;
    }
    std::size_t length = 0;
    while (text != nullptr && text[length] != u'\0') {
        ++length;
    }
    const bool fits = length < capacity;
    const std::size_t copied = fits ? length : 0;
    for (std::size_t i = 0; i < copied; ++i) {
        buffer[i] = text[i];
    }
    buffer[copied] = u'\0';
    return fits;
}

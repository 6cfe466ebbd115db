#pragma once
// UTF-8 and UTF-16 conversions for the simulated handheld, which reads the
// resource script and prints texts on the host.

#include <cstddef>
#include <string>

// Decodes the UTF-8 bytes [begin, end) into buffer as UTF-16, cut to fit with
// its terminator; malformed bytes become U+FFFD. Returns the length written.
std::size_t utf8ToUtf16(const char* begin, const char* end, char16_t* buffer, std::size_t capacity);

// Encodes a terminated UTF-16 text as UTF-8 into buffer, cut at a whole
// character to fit with its terminator. Returns the length written.
std::size_t utf16ToUtf8(const char16_t* text, char* buffer, std::size_t capacity);

// The text up to its first NUL as UTF-8, whole.
std::string utf8Of(const std::u16string& text);

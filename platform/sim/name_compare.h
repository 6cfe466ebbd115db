#pragma once
// How the simulated handheld compares names. Paths, and the names of registry
// keys and values, compare with ASCII letters folded to lower case; other
// letters (which Windows folds too) must match exactly. The names of window
// classes, windows, programs and mutexes compare exactly.

#include <algorithm>
#include <string_view>

inline char16_t foldedAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

inline bool sameLetter(char16_t a, char16_t b) {
    return foldedAscii(a) == foldedAscii(b);
}

inline bool samePath(std::u16string_view a, std::u16string_view b) {
    return std::ranges::equal(a, b, sameLetter);
}

inline bool sameName(std::u16string_view a, std::u16string_view b) {
    return a == b;
}

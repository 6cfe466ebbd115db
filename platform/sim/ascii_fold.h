#pragma once
// The simulated handheld compares paths and names with ASCII letters folded to
// lower case; other letters must match exactly.

inline char16_t foldedAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

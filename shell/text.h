#pragma once
// Small operations on terminated UTF-16 texts.

#include <cstddef>

std::size_t textLength(const char16_t* text);

// True when `part` occurs anywhere in `text`; an empty part occurs in every text.
bool textContains(const char16_t* text, const char16_t* part);

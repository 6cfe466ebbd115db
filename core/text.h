#pragma once
// Small operations on terminated UTF-16 texts.

#include <cstddef>

std::size_t textLength(const char16_t* text);

bool textEquals(const char16_t* a, const char16_t* b);

// True when `part` occurs anywhere in `text`; an empty part occurs in every text.
bool textContains(const char16_t* text, const char16_t* part);

// Appends `tail` to the text in buffer when the whole result fits with its
// terminator in `capacity` characters; otherwise leaves the buffer as it was.
bool appendText(char16_t* buffer, std::size_t capacity, const char16_t* tail);

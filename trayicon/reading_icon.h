#pragma once
// The picture of a reading: up to three digits in the text colour on a rounded
// rectangle of the background colour, drawn with the program's own digit fonts.

#include <cstdint>

inline constexpr int SMALL_ICON_SIZE = 16;
inline constexpr int LARGE_ICON_SIZE = 32;

// A pixel holds a palette index (0-15) in its low 4 bits, or ICON_TRANSPARENT
// (with index 0) outside the rounded rectangle.
inline constexpr std::uint8_t ICON_TRANSPARENT = 0x10;

struct IconImage {
    int size; // 16 or 32
    // Rows top first, `size` per row; on an 8-byte boundary for the mask encoder.
    alignas(8) std::uint8_t pixels[LARGE_ICON_SIZE * LARGE_ICON_SIZE];
};

// Size 16 gives the small icon, any other size the 32-pixel one. Readings of
// 1000 and more show their last three digits between two bars. A negative
// reading shows its magnitude the same way with text and background colours
// swapped.
IconImage composeReadingIcon(std::int32_t reading, unsigned textIndex, unsigned backgroundIndex,
                             int size);

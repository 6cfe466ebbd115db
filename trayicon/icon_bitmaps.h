#pragma once
// An icon image as the two bitmaps the platform makes an icon from.

#include "trayicon/reading_icon.h"

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t LARGE_COLOR_BITS_BYTES = LARGE_ICON_SIZE * LARGE_ICON_SIZE / 2;
inline constexpr std::size_t LARGE_MASK_BITS_BYTES = LARGE_ICON_SIZE * LARGE_ICON_SIZE / 8;

// Colour: 4 bits a pixel, the left pixel in the high nibble, size / 2 bytes a
// row. Mask: 1 bit a pixel, the leftmost in the top bit, 1 transparent, size / 8
// bytes a row. Only the first size * size / 2 and size * size / 8 bytes are used.
struct IconBitmapBits {
    std::uint8_t color[LARGE_COLOR_BITS_BYTES];
    std::uint8_t mask[LARGE_MASK_BITS_BYTES];
};

void encodeIconBitmaps(const IconImage& image, IconBitmapBits& bits);

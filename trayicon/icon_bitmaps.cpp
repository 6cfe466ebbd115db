#include "trayicon/icon_bitmaps.h"

#include <bit>
#include <cstring>
#include <memory>

namespace {

static_assert(std::endian::native == std::endian::little,
              "a word read from the pixels holds the first pixel in its low byte");

constexpr std::uint64_t LOW_BIT_OF_EACH_BYTE = 0x0101010101010101;
// Multiplying by this moves the low bit of byte i to bit 63 - i: the first
// pixel's bit ends in the top bit of the top byte, the eighth's in its low bit.
constexpr std::uint64_t GATHER_LOW_BITS_REVERSED = 0x8040201008040201;

// The mask byte of eight pixels: their transparency bits, the first the top bit.
// `pixels` lies on an 8-byte boundary (IconImage::pixels does, and rows are 16
// or 32 pixels), which lets the handheld's compiler load the eight in place.
std::uint8_t maskByte(const std::uint8_t* pixels) {
    std::uint64_t eight;
    std::memcpy(&eight, std::assume_aligned<8>(pixels), sizeof eight);
    const std::uint64_t transparent = eight >> 4 & LOW_BIT_OF_EACH_BYTE; // ICON_TRANSPARENT
    return static_cast<std::uint8_t>(transparent * GATHER_LOW_BITS_REVERSED >> 56);
}

} // namespace

void encodeIconBitmaps(const IconImage& image, IconBitmapBits& bits) {
    const int pixels = image.size * image.size;
    for (int i = 0; i < pixels / 2; ++i) {
        const int left = image.pixels[2 * i] & 0xF;
        const int right = image.pixels[2 * i + 1] & 0xF;
        bits.color[i] = static_cast<std::uint8_t>(left << 4 | right);
    }
    for (int i = 0; i < pixels / 8; ++i) {
        bits.mask[i] = maskByte(image.pixels + 8 * i);
    }
}

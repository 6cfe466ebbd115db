#include "trayicon/icon_bitmaps.h"

void encodeIconBitmaps(const IconImage& image, IconBitmapBits& bits) {
    const int pixels = image.size * image.size;
    for (int i = 0; i < pixels / 2; ++i) {
        const int left = image.pixels[2 * i] & 0xF;
        const int right = image.pixels[2 * i + 1] & 0xF;
        bits.color[i] = static_cast<std::uint8_t>(left << 4 | right);
    }
    for (int i = 0; i < pixels / 8; ++i) {
        std::uint8_t byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const bool transparent = (image.pixels[8 * i + bit] & ICON_TRANSPARENT) != 0;
            byte = static_cast<std::uint8_t>(byte << 1 | (transparent ? 1 : 0));
        }
        bits.mask[i] = byte;
    }
}

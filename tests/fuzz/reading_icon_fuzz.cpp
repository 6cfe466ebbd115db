// The icon of a reading: any reading, any colour indexes and any size. The
// picture has the size asked for (16, else 32), holds only the two colours and
// transparent pixels, and its two bitmaps give back every pixel.

#include "tests/fuzz/fuzz_handheld.h"
#include "trayicon/icon_bitmaps.h"
#include "trayicon/reading_icon.h"

namespace {

void requireOnlyTheTwoColours(const IconImage& image, unsigned text, unsigned background) {
    for (int i = 0; i < image.size * image.size; ++i) {
        const unsigned pixel = image.pixels[i];
        require(pixel == ICON_TRANSPARENT || pixel == (text & 0xF) || pixel == (background & 0xF),
                "a pixel in neither colour of the icon");
    }
}

void requireBitmapsHoldEveryPixel(const IconImage& image, const IconBitmapBits& bits) {
    for (int i = 0; i < image.size * image.size; ++i) {
        const unsigned color = bits.color[i / 2] >> (i % 2 == 0 ? 4 : 0) & 0xF;
        const bool transparent = (bits.mask[i / 8] >> (7 - i % 8) & 1) != 0;
        require(transparent == (image.pixels[i] == ICON_TRANSPARENT),
                "the mask bitmap disagrees with the picture");
        require(color == (image.pixels[i] & 0xF), "the colour bitmap disagrees with the picture");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::int32_t reading = input.ConsumeIntegral<std::int32_t>();
    const unsigned text = input.ConsumeIntegral<unsigned>();
    const unsigned background = input.ConsumeIntegral<unsigned>();
    const int iconSize = input.ConsumeIntegral<int>();

    const IconImage image = composeReadingIcon(reading, text, background, iconSize);
    require(image.size == (iconSize == SMALL_ICON_SIZE ? SMALL_ICON_SIZE : LARGE_ICON_SIZE),
            "an icon of another size than asked for");
    requireOnlyTheTwoColours(image, text, background);
    IconBitmapBits bits{};
    encodeIconBitmaps(image, bits);
    requireBitmapsHoldEveryPixel(image, bits);
    return 0;
}

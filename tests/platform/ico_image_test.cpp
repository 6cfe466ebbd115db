// Icon files decoded for the simulated handheld: the application icon itself,
// each pixel format, and damaged files, which must be refused without a read
// outside them.

#include "platform/sim/ico_image.h"
#include "tests/support/allocation_counter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t TRANSPARENT = 0;

std::uint32_t pixelAt(const SimIconPixels& icon, int x, int y) {
    return icon.argb[y * icon.size + x];
}

bool decode(const Bytes& file, int size, SimIconPixels& out) {
    return decodeIcoImage(file.data(), file.size(), size, out);
}

void append(Bytes& bytes, std::uint32_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) {
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

void patch(Bytes& bytes, std::size_t offset, std::uint32_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) {
        bytes.at(offset + i) = static_cast<unsigned char>(value >> (8 * i));
    }
}

// A square test image: palette indices, or 0xAARRGGBB values at 32 bits per
// pixel, top row first; `masked` pixels get an AND mask bit. A palette of all
// the entries the bit count addresses is written with a colour count of 0.
struct TestImage {
    int size;
    int bitCount;
    std::vector<std::uint32_t> palette;
    std::vector<std::uint32_t> pixels;
    std::vector<bool> masked;
};

Bytes packedRow(const std::vector<std::uint32_t>& values, int bitCount) {
    Bytes row((values.size() * bitCount + 31) / 32 * 4, 0);
    for (std::size_t x = 0; x < values.size(); ++x) {
        if (bitCount == 32) {
            patch(row, 4 * x, values[x], 4);
        } else {
            const std::size_t bit = x * bitCount;
            row[bit / 8] |= static_cast<unsigned char>(values[x] << (8 - bitCount - bit % 8));
        }
    }
    return row;
}

// The rows of a bitmap, bottom row first.
Bytes bitmap(const TestImage& image, int bitCount, auto valueAt) {
    Bytes bytes;
    for (int y = image.size - 1; y >= 0; --y) {
        std::vector<std::uint32_t> values;
        for (int x = 0; x < image.size; ++x) {
            values.push_back(valueAt(y * image.size + x));
        }
        const Bytes row = packedRow(values, bitCount);
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    return bytes;
}

Bytes encodeIco(const TestImage& image) {
    const Bytes colours = bitmap(image, image.bitCount, [&](int i) { return image.pixels[i]; });
    const Bytes mask = bitmap(image, 1, [&](int i) { return image.masked[i] ? 1u : 0u; });
    const bool fullPalette = image.bitCount <= 8 && image.palette.size() == (1u << image.bitCount);
    const std::uint32_t imageBytes = 40 + 4 * image.palette.size() + colours.size() + mask.size();
    Bytes file;
    append(file, 0, 2);                                      // reserved
    append(file, 1, 2);                                      // icon
    append(file, 1, 2);                                      // one image
    append(file, image.size * 0x0101u, 2);                   // width, height
    append(file, 0, 2);                                      // colour count, reserved
    append(file, 1, 2);                                      // planes
    append(file, image.bitCount, 2);                         // bit count
    append(file, imageBytes, 4);                             // bytes in the image
    append(file, 22, 4);                                     // offset of the image
    append(file, 40, 4);                                     // BITMAPINFOHEADER size
    append(file, image.size, 4);                             // width
    append(file, 2 * image.size, 4);                         // height of colours and mask
    append(file, 1, 2);                                      // planes
    append(file, image.bitCount, 2);                         // bit count
    append(file, 0, 4);                                      // BI_RGB
    append(file, colours.size() + mask.size(), 4);           // image size
    append(file, 0, 4);                                      // horizontal resolution
    append(file, 0, 4);                                      // vertical resolution
    append(file, fullPalette ? 0 : image.palette.size(), 4); // colours used
    append(file, 0, 4);                                      // colours important
    for (const std::uint32_t colour : image.palette) {
        append(file, colour & 0x00FFFFFF, 4);
    }
    file.insert(file.end(), colours.begin(), colours.end());
    file.insert(file.end(), mask.begin(), mask.end());
    return file;
}

std::vector<std::uint32_t> distinctColours(std::size_t count) {
    std::vector<std::uint32_t> colours;
    for (std::size_t i = 0; i < count; ++i) {
        colours.push_back(0xFF000000 | static_cast<std::uint32_t>(0x0A0B0C * (i + 1)));
    }
    return colours;
}

// A 3x3 image (its rows need padding at every bit count) whose centre is masked.
TestImage threeByThree(int bitCount) {
    TestImage image{3, bitCount, {}, {}, std::vector<bool>(9, false)};
    image.masked[4] = true;
    if (bitCount == 32) {
        image.pixels = {0xFF112233, 0x80445566, 0x00778899, 0xFFAABBCC, 0xFF000000,
                        0x40DDEEFF, 0xFF010203, 0x7F040506, 0xFF070809};
        return image;
    }
    image.palette = distinctColours(std::size_t{1} << bitCount);
    const std::uint32_t last = static_cast<std::uint32_t>(image.palette.size() - 1);
    image.pixels = {0, last, 1, 1, 0, last, last, 1, 0};
    return image;
}

TEST(IcoImageTest, TheApplicationIconHasEachSizeWithATransparentCornerAndAnOpaqueCentre) {
    for (const int size : {16, 32, 64}) {
        SCOPED_TRACE(size);
        SimIconPixels icon{};
        ASSERT_TRUE(decodeIcoImage(APPLICATION_ICON_FILE, APPLICATION_ICON_FILE_SIZE, size, icon));
        EXPECT_EQ(icon.size, size);
        EXPECT_EQ(pixelAt(icon, 0, 0), TRANSPARENT);
        EXPECT_EQ(pixelAt(icon, size / 2, size / 2) >> 24, 0xFFu);
    }
}

TEST(IcoImageTest, SizesTheApplicationIconLacksAreRefused) {
    for (const int size : {48, 0, -16, 8, 65, 256}) {
        SCOPED_TRACE(size);
        SimIconPixels icon{};
        icon.size = 99;
        EXPECT_FALSE(decodeIcoImage(APPLICATION_ICON_FILE, APPLICATION_ICON_FILE_SIZE, size, icon));
        EXPECT_EQ(icon.size, 0);
    }
}

TEST(IcoImageTest, DecodingAllocatesNothing) {
    SimIconPixels icon{};
    const std::size_t before = heapAllocations();
    EXPECT_TRUE(decodeIcoImage(APPLICATION_ICON_FILE, APPLICATION_ICON_FILE_SIZE, 32, icon));
    EXPECT_EQ(heapAllocations(), before);
}

// Each prefix sits in a heap block of its own length, so that AddressSanitizer
// reports any read past its end.
TEST(IcoImageTest, EveryPrefixOfTheApplicationIconFailsOrDecodesTheSamePixels) {
    for (const int size : {16, 32, 64}) {
        SCOPED_TRACE(size);
        SimIconPixels whole{};
        ASSERT_TRUE(decodeIcoImage(APPLICATION_ICON_FILE, APPLICATION_ICON_FILE_SIZE, size, whole));
        for (std::size_t length = 0; length < APPLICATION_ICON_FILE_SIZE; ++length) {
            const Bytes prefix(APPLICATION_ICON_FILE, APPLICATION_ICON_FILE + length);
            SimIconPixels icon{};
            if (decode(prefix, size, icon)) {
                ASSERT_EQ(std::memcmp(icon.argb, whole.argb, sizeof icon.argb), 0) << length;
            }
        }
    }
}

TEST(IcoImageTest, EachBitCountDecodesColoursTopRowFirstWithTheMaskTransparent) {
    for (const int bitCount : {1, 4, 8, 32}) {
        SCOPED_TRACE(bitCount);
        const TestImage image = threeByThree(bitCount);
        SimIconPixels icon{};
        ASSERT_TRUE(decode(encodeIco(image), 3, icon));
        for (int i = 0; i < 9; ++i) {
            const std::uint32_t colour =
                bitCount == 32 ? image.pixels[i] : image.palette[image.pixels[i]];
            EXPECT_EQ(icon.argb[i], image.masked[i] ? TRANSPARENT : colour) << i;
        }
    }
}

// The directory gives the image's length; the bitmaps must fit in it even when
// the file goes on.
TEST(IcoImageTest, AnImageOneByteShortOfItsBitmapsIsRefused) {
    for (const int bitCount : {1, 4, 8, 32}) {
        SCOPED_TRACE(bitCount);
        Bytes file = encodeIco(threeByThree(bitCount));
        patch(file, 14, static_cast<std::uint32_t>(file.size() - 22 - 1), 4);
        SimIconPixels icon{};
        EXPECT_FALSE(decode(file, 3, icon));
    }
}

TEST(IcoImageTest, APaletteMustHoldEveryIndexUsedAndNoMoreThanItsBitsAddress) {
    struct Case {
        std::size_t entries;
        std::uint32_t largestIndex;
        bool decodes;
    };
    for (const Case c : {Case{8, 7, true}, Case{8, 8, false}, Case{17, 15, false}}) {
        SCOPED_TRACE(c.entries);
        TestImage image = threeByThree(4);
        image.palette = distinctColours(c.entries);
        image.pixels = {0, 1, 2, 3, 4, 5, 6, 7, c.largestIndex};
        SimIconPixels icon{};
        EXPECT_EQ(decode(encodeIco(image), 3, icon), c.decodes) << c.largestIndex;
    }
}

// Offsets into a file of one image: its directory entry at 6, its
// BITMAPINFOHEADER at 22.
struct Damage {
    const char* what;
    std::size_t offset;
    std::uint32_t value;
    int byteCount;
};

constexpr Damage DAMAGES[] = {
    {"reserved word set", 0, 1, 2},
    {"a cursor, not an icon", 2, 2, 2},
    {"more entries than the file holds", 4, 0xFFFF, 2},
    {"image bytes run past the end", 14, 0x10000, 4},
    {"image bytes of 2^32 - 1", 14, 0xFFFFFFFF, 4},
    {"image offset past the end", 18, 0x10000, 4},
    {"image offset of 2^32 - 1", 18, 0xFFFFFFFF, 4},
    {"header smaller than BITMAPINFOHEADER", 22, 12, 4},
    {"header larger than the image", 22, 0xFFFFFFFF, 4},
    {"width unlike the entry", 26, 4, 4},
    {"height not colours plus mask", 30, 3, 4},
    {"two planes", 34, 2, 2},
    {"bit count 0", 36, 0, 2},
    {"bit count 2", 36, 2, 2},
    {"bit count 16", 36, 16, 2},
    {"bit count 24", 36, 24, 2},
    {"bit count 64", 36, 64, 2},
    {"run-length encoded", 38, 2, 4},
    {"bit fields", 38, 3, 4},
};

TEST(IcoImageTest, DamagedFilesAreRefused) {
    const Bytes intact = encodeIco(threeByThree(4));
    SimIconPixels icon{};
    ASSERT_TRUE(decode(intact, 3, icon));
    for (const Damage& damage : DAMAGES) {
        SCOPED_TRACE(damage.what);
        Bytes file = intact;
        patch(file, damage.offset, damage.value, damage.byteCount);
        EXPECT_FALSE(decode(file, 3, icon));
        EXPECT_EQ(icon.size, 0);
    }
}

TEST(IcoImageTest, AFileCutAnywhereIsRefused) {
    const Bytes intact = encodeIco(threeByThree(8));
    for (std::size_t length = 0; length < intact.size(); ++length) {
        const Bytes prefix(intact.begin(), intact.begin() + length);
        SimIconPixels icon{};
        EXPECT_FALSE(decode(prefix, 3, icon)) << length;
    }
}

} // namespace

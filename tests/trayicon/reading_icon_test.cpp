#include "trayicon/reading_icon.h"

#include "trayicon/icon_bitmaps.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

constexpr unsigned YELLOW = 11;
constexpr unsigned BLUE = 12;

// '.' transparent, 'o' background (blue), '#' text (yellow).
std::vector<std::string> picture(const IconImage& image) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.size; ++y) {
        std::string row;
        for (int x = 0; x < image.size; ++x) {
            const std::uint8_t pixel = image.pixels[y * image.size + x];
            row += pixel == ICON_TRANSPARENT ? '.'
                   : pixel == BLUE           ? 'o'
                   : pixel == YELLOW         ? '#'
                                             : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

struct Picture {
    std::int32_t reading;
    int size;
    std::vector<std::string> rows;
};

// Negative readings show their magnitude in swapped colours.
const Picture PICTURES[] = {
    {0,
     16,
     {
         "..oooooooooooo..",
         ".oooooooooooooo.",
         "oooooooooooooooo",
         "oooooooooooooooo",
         "oooooooo##oooooo",
         "ooooooo#oo#ooooo",
         "ooooooo#oo#ooooo",
         "ooooooo#oo#ooooo",
         "ooooooo#oo#ooooo",
         "ooooooo#oo#ooooo",
         "oooooooo##oooooo",
         "oooooooooooooooo",
         "oooooooooooooooo",
         ".oooooooooooooo.",
         "..oooooooooooo..",
         "................",
     }},
    {57,
     16,
     {
         "..oooooooooooo..",
         ".oooooooooooooo.",
         "oooooooooooooooo",
         "oooooooooooooooo",
         "oooo####o####ooo",
         "oooo#oooo#oo#ooo",
         "oooo###oooo#oooo",
         "ooooooo#ooo#oooo",
         "ooooooo#oo#ooooo",
         "oooo#oo#oo#ooooo",
         "ooooo##ooo#ooooo",
         "oooooooooooooooo",
         "oooooooooooooooo",
         ".oooooooooooooo.",
         "..oooooooooooo..",
         "................",
     }},
    {100,
     16,
     {
         "..oooooooooooo..",
         ".oooooooooooooo.",
         "oooooooooooooooo",
         "oooooooooooooooo",
         "ooo#ooo##ooo##oo",
         "oo##oo#oo#o#oo#o",
         "ooo#oo#oo#o#oo#o",
         "ooo#oo#oo#o#oo#o",
         "ooo#oo#oo#o#oo#o",
         "ooo#oo#oo#o#oo#o",
         "oo###oo##ooo##oo",
         "oooooooooooooooo",
         "oooooooooooooooo",
         ".oooooooooooooo.",
         "..oooooooooooo..",
         "................",
     }},
    {1234,
     16,
     {
         "..oooooooooooo..",
         ".oooooooooooooo.",
         "oo############oo",
         "oooooooooooooooo",
         "oo##ooo##oooo#oo",
         "o#oo#o#oo#oo##oo",
         "oooo#oooo#o#o#oo",
         "ooo#oooo#oo#o#oo",
         "oo#oooooo#o####o",
         "o#oo#o#oo#ooo#oo",
         "o####oo##oooo#oo",
         "oooooooooooooooo",
         "oo############oo",
         ".oooooooooooooo.",
         "..oooooooooooo..",
         "................",
     }},
    {255,
     16,
     {
         "..oooooooooooo..",
         ".oooooooooooooo.",
         "oooooooooooooooo",
         "oooooooooooooooo",
         "oo##oo####o####o",
         "o#oo#o#oooo#oooo",
         "oooo#o###oo###oo",
         "ooo#ooooo#oooo#o",
         "oo#oooooo#oooo#o",
         "o#oo#o#oo#o#oo#o",
         "o####oo##ooo##oo",
         "oooooooooooooooo",
         "oooooooooooooooo",
         ".oooooooooooooo.",
         "..oooooooooooo..",
         "................",
     }},
    {1005,
     16,
     {
         "..oooooooooooo..",
         ".oooooooooooooo.",
         "oo############oo",
         "oooooooooooooooo",
         "oo##ooo##oo####o",
         "o#oo#o#oo#o#oooo",
         "o#oo#o#oo#o###oo",
         "o#oo#o#oo#oooo#o",
         "o#oo#o#oo#oooo#o",
         "o#oo#o#oo#o#oo#o",
         "oo##ooo##ooo##oo",
         "oooooooooooooooo",
         "oo############oo",
         ".oooooooooooooo.",
         "..oooooooooooo..",
         "................",
     }},
    {-210,
     16,
     {
         "..############..",
         ".##############.",
         "################",
         "################",
         "##oo####o###oo##",
         "#o##o##oo##o##o#",
         "####o###o##o##o#",
         "###o####o##o##o#",
         "##o#####o##o##o#",
         "#o##o###o##o##o#",
         "#oooo##ooo##oo##",
         "################",
         "################",
         ".##############.",
         "..############..",
         "................",
     }},
    {1,
     32,
     {
         ".....oooooooooooooooooooooo.....", "...oooooooooooooooooooooooooo...",
         "..oooooooooooooooooooooooooooo..", ".oooooooooooooooooooooooooooooo.",
         ".oooooooooooooooooooooooooooooo.", "oooooooooooooooooooooooooooooooo",
         "oooooooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooooooo",
         "oooooooooooooo##oooooooooooooooo", "oooooooooooooo##oooooooooooooooo",
         "ooooooooooooo###oooooooooooooooo", "oooooooooooo####oooooooooooooooo",
         "oooooooooooo####oooooooooooooooo", "oooooooooooooo##oooooooooooooooo",
         "oooooooooooooo##oooooooooooooooo", "oooooooooooooo##oooooooooooooooo",
         "oooooooooooooo##oooooooooooooooo", "oooooooooooooo##oooooooooooooooo",
         "oooooooooooooo##oooooooooooooooo", "oooooooooooooo##oooooooooooooooo",
         "oooooooooooo######oooooooooooooo", "oooooooooooo######oooooooooooooo",
         "oooooooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooooooo",
         "oooooooooooooooooooooooooooooooo", ".oooooooooooooooooooooooooooooo.",
         ".oooooooooooooooooooooooooooooo.", "..oooooooooooooooooooooooooooo..",
         "...oooooooooooooooooooooooooo...", ".....oooooooooooooooooooooo.....",
         "................................", "................................",
     }},
    {11,
     32,
     {
         ".....oooooooooooooooooooooo.....", "...oooooooooooooooooooooooooo...",
         "..oooooooooooooooooooooooooooo..", ".oooooooooooooooooooooooooooooo.",
         ".oooooooooooooooooooooooooooooo.", "oooooooooooooooooooooooooooooooo",
         "oooooooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooooooo",
         "oooooooooo##oooooo##oooooooooooo", "oooooooooo##oooooo##oooooooooooo",
         "ooooooooo###ooooo###oooooooooooo", "oooooooo####oooo####oooooooooooo",
         "oooooooo####oooo####oooooooooooo", "oooooooooo##oooooo##oooooooooooo",
         "oooooooooo##oooooo##oooooooooooo", "oooooooooo##oooooo##oooooooooooo",
         "oooooooooo##oooooo##oooooooooooo", "oooooooooo##oooooo##oooooooooooo",
         "oooooooooo##oooooo##oooooooooooo", "oooooooooo##oooooo##oooooooooooo",
         "oooooooo######oo######oooooooooo", "oooooooo######oo######oooooooooo",
         "oooooooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooooooo",
         "oooooooooooooooooooooooooooooooo", ".oooooooooooooooooooooooooooooo.",
         ".oooooooooooooooooooooooooooooo.", "..oooooooooooooooooooooooooooo..",
         "...oooooooooooooooooooooooooo...", ".....oooooooooooooooooooooo.....",
         "................................", "................................",
     }},
    {191,
     32,
     {
         ".....oooooooooooooooooooooo.....", "...oooooooooooooooooooooooooo...",
         "..oooooooooooooooooooooooooooo..", ".oooooooooooooooooooooooooooooo.",
         ".oooooooooooooooooooooooooooooo.", "oooooooooooooooooooooooooooooooo",
         "oooooooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooooooo",
         "oooooo##oooooo####oooooo##oooooo", "oooooo##ooooo######ooooo##oooooo",
         "ooooo###oooo###oo###ooo###oooooo", "oooo####oooo##oooo##oo####oooooo",
         "oooo####oooo##oooo##oo####oooooo", "oooooo##oooo###oo###oooo##oooooo",
         "oooooo##ooooo#######oooo##oooooo", "oooooo##oooooo######oooo##oooooo",
         "oooooo##oooooooooo##oooo##oooooo", "oooooo##oooooooooo##oooo##oooooo",
         "oooooo##oooo##oooo##oooo##oooooo", "oooooo##oooo###oo###oooo##oooooo",
         "oooo######ooo######ooo######oooo", "oooo######oooo####oooo######oooo",
         "oooooooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooooooo",
         "oooooooooooooooooooooooooooooooo", ".oooooooooooooooooooooooooooooo.",
         ".oooooooooooooooooooooooooooooo.", "..oooooooooooooooooooooooooooo..",
         "...oooooooooooooooooooooooooo...", ".....oooooooooooooooooooooo.....",
         "................................", "................................",
     }},
    {1000,
     32,
     {
         ".....oooooooooooooooooooooo.....", "...oooooooooooooooooooooooooo...",
         "..oooooooooooooooooooooooooooo..", ".oooooooooooooooooooooooooooooo.",
         ".ooo########################ooo.", "oooooooooooooooooooooooooooooooo",
         "oooooooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooooooo",
         "oooo####oooooo####oooooo####oooo", "ooo######oooo######oooo######ooo",
         "oo###oo###oo###oo###oo###oo###oo", "oo##oooo##oo##oooo##oo##oooo##oo",
         "oo##oooo##oo##oooo##oo##oooo##oo", "oo##oooo##oo##oooo##oo##oooo##oo",
         "oo##oooo##oo##oooo##oo##oooo##oo", "oo##oooo##oo##oooo##oo##oooo##oo",
         "oo##oooo##oo##oooo##oo##oooo##oo", "oo##oooo##oo##oooo##oo##oooo##oo",
         "oo##oooo##oo##oooo##oo##oooo##oo", "oo###oo###oo###oo###oo###oo###oo",
         "ooo######oooo######oooo######ooo", "oooo####oooooo####oooooo####oooo",
         "oooooooooooooooooooooooooooooooo", "oooooooooooooooooooooooooooooooo",
         "oooooooooooooooooooooooooooooooo", ".oooooooooooooooooooooooooooooo.",
         ".ooo########################ooo.", "..oooooooooooooooooooooooooooo..",
         "...oooooooooooooooooooooooooo...", ".....oooooooooooooooooooooo.....",
         "................................", "................................",
     }},
    {-1500,
     32,
     {
         ".....######################.....", "...##########################...",
         "..############################..", ".##############################.",
         ".###oooooooooooooooooooooooo###.", "################################",
         "################################", "################################",
         "##oooooooo####oooo######oooo####", "##oooooooo###oooooo####oooooo###",
         "##oo########ooo##ooo##ooo##ooo##", "##oo########oo####oo##oo####oo##",
         "##oooooo####oo####oo##oo####oo##", "##ooooooo###oo####oo##oo####oo##",
         "#######ooo##oo####oo##oo####oo##", "########oo##oo####oo##oo####oo##",
         "########oo##oo####oo##oo####oo##", "########oo##oo####oo##oo####oo##",
         "##oo####oo##oo####oo##oo####oo##", "##ooo##ooo##ooo##ooo##ooo##ooo##",
         "###oooooo####oooooo####oooooo###", "####oooo######oooo######oooo####",
         "################################", "################################",
         "################################", ".##############################.",
         ".###oooooooooooooooooooooooo###.", "..############################..",
         "...##########################...", ".....######################.....",
         "................................", "................................",
     }},
};

TEST(ReadingIcon, DrawsEachReadingPixelForPixel) {
    for (const Picture& expected : PICTURES) {
        const IconImage image = composeReadingIcon(expected.reading, YELLOW, BLUE, expected.size);
        EXPECT_EQ(image.size, expected.size);
        EXPECT_EQ(picture(image), expected.rows)
            << "reading " << expected.reading << " at " << expected.size << " pixels";
    }
}

// Both digit fonts, row by row, as a lone digit draws them: small glyphs 4 x 7
// at column 7, row 4; large glyphs 8 x 14 at column 12, row 8 (a lone 1 at 10).
constexpr std::uint8_t SMALL_FONT[10][7] = {
    {0x6, 0x9, 0x9, 0x9, 0x9, 0x9, 0x6}, {0x2, 0x6, 0x2, 0x2, 0x2, 0x2, 0x7},
    {0x6, 0x9, 0x1, 0x2, 0x4, 0x9, 0xF}, {0x6, 0x9, 0x1, 0x2, 0x1, 0x9, 0x6},
    {0x2, 0x6, 0xA, 0xA, 0xF, 0x2, 0x2}, {0xF, 0x8, 0xE, 0x1, 0x1, 0x9, 0x6},
    {0x6, 0x9, 0x8, 0xE, 0x9, 0x9, 0x6}, {0xF, 0x9, 0x2, 0x2, 0x4, 0x4, 0x4},
    {0x6, 0x9, 0x9, 0x6, 0x9, 0x9, 0x6}, {0x6, 0x9, 0x9, 0x7, 0x1, 0x9, 0x6},
};

constexpr std::uint8_t LARGE_FONT[10][14] = {
    {0x3C, 0x7E, 0xE7, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xE7, 0x7E, 0x3C},
    {0x0C, 0x0C, 0x1C, 0x3C, 0x3C, 0x0C, 0x0C, 0x0C, 0x0C, 0x0C, 0x0C, 0x0C, 0x3F, 0x3F},
    {0x3C, 0x7E, 0xE7, 0xC3, 0x03, 0x07, 0x0E, 0x1C, 0x38, 0x70, 0xE3, 0xC3, 0xFF, 0xFF},
    {0x3C, 0x7E, 0xE7, 0xC3, 0x03, 0x07, 0x1E, 0x1E, 0x07, 0x03, 0xC3, 0xE7, 0x7E, 0x3C},
    {0x30, 0x30, 0x30, 0x30, 0x66, 0x66, 0xC6, 0xC6, 0xFF, 0xFF, 0x06, 0x06, 0x06, 0x06},
    {0xFF, 0xFF, 0xC0, 0xC0, 0xFC, 0xFE, 0x07, 0x03, 0x03, 0x03, 0xC3, 0xE7, 0x7E, 0x3C},
    {0x3C, 0x7E, 0xE7, 0xC3, 0xC0, 0xC0, 0xFC, 0xFE, 0xE7, 0xC3, 0xC3, 0xE7, 0x7E, 0x3C},
    {0xFF, 0xFF, 0xC3, 0xC3, 0x06, 0x06, 0x0C, 0x0C, 0x18, 0x18, 0x30, 0x30, 0x30, 0x30},
    {0x3C, 0x7E, 0xE7, 0xC3, 0xC3, 0xE7, 0x7E, 0x7E, 0xE7, 0xC3, 0xC3, 0xE7, 0x7E, 0x3C},
    {0x3C, 0x7E, 0xE7, 0xC3, 0xC3, 0xE7, 0x7F, 0x3F, 0x03, 0x03, 0xC3, 0xE7, 0x7E, 0x3C},
};

TEST(ReadingIcon, DrawsEveryDigitOfBothFontsAsTheFontTablesGiveThem) {
    for (int digit = 0; digit <= 9; ++digit) {
        const std::vector<std::string> small = picture(composeReadingIcon(digit, YELLOW, BLUE, 16));
        for (int row = 0; row < 7; ++row) {
            for (int bit = 0; bit < 4; ++bit) {
                const bool set = (SMALL_FONT[digit][row] >> (3 - bit) & 1) != 0;
                EXPECT_EQ(small[4 + row][7 + bit], set ? '#' : 'o')
                    << "small " << digit << " row " << row << " column " << bit;
            }
        }
        const std::vector<std::string> large = picture(composeReadingIcon(digit, YELLOW, BLUE, 32));
        const int column = digit == 1 ? 10 : 12;
        for (int row = 0; row < 14; ++row) {
            for (int bit = 0; bit < 8; ++bit) {
                const bool set = (LARGE_FONT[digit][row] >> (7 - bit) & 1) != 0;
                EXPECT_EQ(large[8 + row][column + bit], set ? '#' : 'o')
                    << "large " << digit << " row " << row << " column " << bit;
            }
        }
    }
}

TEST(ReadingIcon, EveryReadingStaysInsideItsTablesAndItsColours) {
    std::vector<std::int32_t> readings = {INT_MIN, INT_MIN + 1, -1000000, INT_MAX, 1000000};
    for (std::int32_t reading = -1100; reading <= 2100; ++reading) {
        readings.push_back(reading);
    }
    for (const int size : {SMALL_ICON_SIZE, LARGE_ICON_SIZE}) {
        const std::vector<std::string> blank = picture(composeReadingIcon(8, 0, BLUE, size));
        for (const std::int32_t reading : readings) {
            const std::vector<std::string> rows =
                picture(composeReadingIcon(reading, YELLOW, BLUE, size));
            for (std::size_t y = 0; y < rows.size(); ++y) {
                for (std::size_t x = 0; x < rows[y].size(); ++x) {
                    ASSERT_NE(rows[y][x], '?') << reading;
                    ASSERT_EQ(rows[y][x] == '.', blank[y][x] == '.') << reading;
                }
            }
        }
    }
}

TEST(ReadingIcon, EncodesTheColourAndMaskBitmaps) {
    IconBitmapBits bits{};
    encodeIconBitmaps(composeReadingIcon(0, YELLOW, BLUE, SMALL_ICON_SIZE), bits);
    const std::vector<std::uint8_t> smallMask(bits.mask, bits.mask + 32);
    std::vector<std::uint8_t> expectedMask = {0xC0, 0x03, 0x80, 0x01};
    expectedMask.insert(expectedMask.end(), 22, 0x00);
    expectedMask.insert(expectedMask.end(), {0x80, 0x01, 0xC0, 0x03, 0xFF, 0xFF});
    EXPECT_EQ(smallMask, expectedMask);
    const std::vector<std::uint8_t> firstRow(bits.color, bits.color + 8);
    EXPECT_EQ(firstRow,
              (std::vector<std::uint8_t>{0x00, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0x00}));
    const std::vector<std::uint8_t> rowFour(bits.color + 32, bits.color + 40);
    EXPECT_EQ(rowFour, (std::vector<std::uint8_t>{0xCC, 0xCC, 0xCC, 0xCC, 0xBB, 0xCC, 0xCC, 0xCC}));
    const std::vector<std::uint8_t> lastRow(bits.color + 120, bits.color + 128);
    EXPECT_EQ(lastRow, std::vector<std::uint8_t>(8, 0x00)); // transparent pixels are index 0

    encodeIconBitmaps(composeReadingIcon(0, YELLOW, BLUE, LARGE_ICON_SIZE), bits);
    const std::vector<std::uint8_t> largeMaskTop(bits.mask, bits.mask + 20);
    EXPECT_EQ(largeMaskTop, (std::vector<std::uint8_t>{0xF8, 0x00, 0x00, 0x1F, 0xE0, 0x00, 0x00,
                                                       0x07, 0xC0, 0x00, 0x00, 0x03, 0x80, 0x00,
                                                       0x00, 0x01, 0x80, 0x00, 0x00, 0x01}));
    const std::vector<std::uint8_t> largeMaskBottom(bits.mask + 100, bits.mask + 128);
    EXPECT_EQ(largeMaskBottom,
              (std::vector<std::uint8_t>{0x80, 0x00, 0x00, 0x01, 0x80, 0x00, 0x00, 0x01, 0xC0, 0x00,
                                         0x00, 0x03, 0xE0, 0x00, 0x00, 0x07, 0xF8, 0x00, 0x00, 0x1F,
                                         0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(std::vector<std::uint8_t>(bits.mask + 20, bits.mask + 100),
              std::vector<std::uint8_t>(80, 0));
}

} // namespace

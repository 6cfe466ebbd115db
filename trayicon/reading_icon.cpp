#include "trayicon/reading_icon.h"

#include <cstddef>
#include <cstring>

namespace {

// Transparent pixels of each row, the leftmost pixel in the top bit of the row's
// width: the corners are rounded and the bottom rows left clear.
constexpr std::uint32_t SMALL_ICON_MASK[SMALL_ICON_SIZE] = {
    0xC003, 0x8001, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,
    0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x8001, 0xC003, 0xFFFF,
};

constexpr std::uint32_t LARGE_ICON_MASK[LARGE_ICON_SIZE] = {
    0xF800001F, 0xE0000007, 0xC0000003, 0x80000001, 0x80000001, 0x00000000, 0x00000000, 0x00000000,
    0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000,
    0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000,
    0x00000000, 0x80000001, 0x80000001, 0xC0000003, 0xE0000007, 0xF800001F, 0xFFFFFFFF, 0xFFFFFFFF,
};

// Digits 0-9, 4 columns by 7 rows: one row a value, bit 8 the leftmost column.
constexpr std::uint8_t SMALL_DIGIT_GLYPHS[10 * 7] = {
    0x6, 0x9, 0x9, 0x9, 0x9, 0x9, 0x6, // 0
    0x2, 0x6, 0x2, 0x2, 0x2, 0x2, 0x7, // 1
    0x6, 0x9, 0x1, 0x2, 0x4, 0x9, 0xF, // 2
    0x6, 0x9, 0x1, 0x2, 0x1, 0x9, 0x6, // 3
    0x2, 0x6, 0xA, 0xA, 0xF, 0x2, 0x2, // 4
    0xF, 0x8, 0xE, 0x1, 0x1, 0x9, 0x6, // 5
    0x6, 0x9, 0x8, 0xE, 0x9, 0x9, 0x6, // 6
    0xF, 0x9, 0x2, 0x2, 0x4, 0x4, 0x4, // 7
    0x6, 0x9, 0x9, 0x6, 0x9, 0x9, 0x6, // 8
    0x6, 0x9, 0x9, 0x7, 0x1, 0x9, 0x6, // 9
};

// Digits 0-9, 8 columns by 14 rows: one row a byte, bit 0x80 the leftmost column.
constexpr std::uint8_t LARGE_DIGIT_GLYPHS[10 * 14] = {
    0x3C, 0x7E, 0xE7, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xC3, 0xE7, 0x7E, 0x3C, // 0
    0x0C, 0x0C, 0x1C, 0x3C, 0x3C, 0x0C, 0x0C, 0x0C, 0x0C, 0x0C, 0x0C, 0x0C, 0x3F, 0x3F, // 1
    0x3C, 0x7E, 0xE7, 0xC3, 0x03, 0x07, 0x0E, 0x1C, 0x38, 0x70, 0xE3, 0xC3, 0xFF, 0xFF, // 2
    0x3C, 0x7E, 0xE7, 0xC3, 0x03, 0x07, 0x1E, 0x1E, 0x07, 0x03, 0xC3, 0xE7, 0x7E, 0x3C, // 3
    0x30, 0x30, 0x30, 0x30, 0x66, 0x66, 0xC6, 0xC6, 0xFF, 0xFF, 0x06, 0x06, 0x06, 0x06, // 4
    0xFF, 0xFF, 0xC0, 0xC0, 0xFC, 0xFE, 0x07, 0x03, 0x03, 0x03, 0xC3, 0xE7, 0x7E, 0x3C, // 5
    0x3C, 0x7E, 0xE7, 0xC3, 0xC0, 0xC0, 0xFC, 0xFE, 0xE7, 0xC3, 0xC3, 0xE7, 0x7E, 0x3C, // 6
    0xFF, 0xFF, 0xC3, 0xC3, 0x06, 0x06, 0x0C, 0x0C, 0x18, 0x18, 0x30, 0x30, 0x30, 0x30, // 7
    0x3C, 0x7E, 0xE7, 0xC3, 0xC3, 0xE7, 0x7E, 0x7E, 0xE7, 0xC3, 0xC3, 0xE7, 0x7E, 0x3C, // 8
    0x3C, 0x7E, 0xE7, 0xC3, 0xC3, 0xE7, 0x7F, 0x3F, 0x03, 0x03, 0xC3, 0xE7, 0x7E, 0x3C, // 9
};

constexpr int NOT_DRAWN = -1;

struct IconLayout {
    int size;
    const std::uint32_t* mask;
    const std::uint8_t* glyphs;
    int glyphWidth;
    int glyphHeight;
    int topRow;
    int cellColumns[3][3]; // by digit count - 1: hundreds, tens and ones cells
    bool pullsInNarrowOnes;
    int barRows[2];
    int barFirstColumn;
    int barLastColumn;
};

constexpr IconLayout SMALL_LAYOUT = {
    SMALL_ICON_SIZE,
    SMALL_ICON_MASK,
    SMALL_DIGIT_GLYPHS,
    4,
    7,
    4,
    {{NOT_DRAWN, NOT_DRAWN, 7}, {NOT_DRAWN, 4, 9}, {1, 6, 11}},
    false,
    {2, 12},
    2,
    13,
};

constexpr IconLayout LARGE_LAYOUT = {
    LARGE_ICON_SIZE,
    LARGE_ICON_MASK,
    LARGE_DIGIT_GLYPHS,
    8,
    14,
    8,
    {{NOT_DRAWN, NOT_DRAWN, 12}, {NOT_DRAWN, 8, 18}, {2, 12, 22}},
    true,
    {4, 26},
    4,
    27,
};

constexpr std::int64_t BARRED_READING = 1000;
constexpr int NARROW_ONE_PULL = 2;

std::uint8_t* pixelRow(IconImage& image, int y) {
    return image.pixels + y * image.size;
}

// The four pixels of a nibble, its top bit the leftmost: 0xFF where a bit is set.
constexpr std::uint8_t NIBBLE_PIXELS[16][4] = {
    {0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0xFF}, {0x00, 0x00, 0xFF, 0x00},
    {0x00, 0x00, 0xFF, 0xFF}, {0x00, 0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00, 0xFF},
    {0x00, 0xFF, 0xFF, 0x00}, {0x00, 0xFF, 0xFF, 0xFF}, {0xFF, 0x00, 0x00, 0x00},
    {0xFF, 0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF, 0x00}, {0xFF, 0x00, 0xFF, 0xFF},
    {0xFF, 0xFF, 0x00, 0x00}, {0xFF, 0xFF, 0x00, 0xFF}, {0xFF, 0xFF, 0xFF, 0x00},
    {0xFF, 0xFF, 0xFF, 0xFF},
};

// Sets to `index` the pixels that `bits` marks among the `width` pixels (a
// multiple of four) from `first` on, the leftmost in bit `width` - 1: four
// pixels a step, from the right, until no marked pixel is left. Byte by byte:
// `first` need not be aligned, and the handheld's processor has no unaligned
// word access (a word copy there becomes a call into the system's memcpy).
void drawRowBits(std::uint8_t* first, int width, std::uint32_t bits, std::uint8_t index) {
    for (std::uint8_t* four = first + width - 4; bits != 0; bits >>= 4, four -= 4) {
        const std::uint8_t* const marked = NIBBLE_PIXELS[bits & 0xF];
        for (int i = 0; i < 4; ++i) {
            four[i] = static_cast<std::uint8_t>((four[i] & ~marked[i]) | (index & marked[i]));
        }
    }
}

// The paper in one fill, then each row's transparent pixels from its mask word.
void fillBackground(IconImage& image, const IconLayout& layout, std::uint8_t paper) {
    const int size = layout.size;
    std::memset(image.pixels, paper, static_cast<std::size_t>(size * size));
    for (int y = 0; y < size; ++y) {
        drawRowBits(image.pixels + y * size, size, layout.mask[y], ICON_TRANSPARENT);
    }
}

void drawBars(IconImage& image, const IconLayout& layout, std::uint8_t ink) {
    for (const int row : layout.barRows) {
        std::memset(pixelRow(image, row) + layout.barFirstColumn, ink,
                    static_cast<std::size_t>(layout.barLastColumn - layout.barFirstColumn + 1));
    }
}

// The measures are copied first: a store to a pixel could change any byte as far
// as the compiler knows.
void drawGlyph(IconImage& image, const IconLayout& layout, int digit, int column,
               std::uint8_t ink) {
    const int size = image.size;
    const int width = layout.glyphWidth;
    const int height = layout.glyphHeight;
    const std::uint8_t* const rows = layout.glyphs + digit * height;
    std::uint8_t* first = pixelRow(image, layout.topRow) + column;
    for (int row = 0; row < height; ++row, first += size) {
        drawRowBits(first, width, rows[row], ink);
    }
}

// Draws `count` digits of value (0..999): hundreds, tens and ones as needed.
void drawDigits(IconImage& image, const IconLayout& layout, int value, int count,
                std::uint8_t ink) {
    const int digits[3] = {value / 100, value % 100 / 10, value % 10};
    const int* cells = layout.cellColumns[count - 1];
    int pull[3] = {0, 0, 0};
    if (layout.pullsInNarrowOnes) {
        const int tensPull = count >= 2 && digits[1] == 1 ? NARROW_ONE_PULL : 0;
        pull[1] = tensPull;
        pull[2] = tensPull + (digits[2] == 1 ? NARROW_ONE_PULL : 0);
    }
    for (int position = 3 - count; position < 3; ++position) {
        drawGlyph(image, layout, digits[position], cells[position] - pull[position], ink);
    }
}

} // namespace

IconImage composeReadingIcon(std::int32_t reading, unsigned textIndex, unsigned backgroundIndex,
                             int size) {
    const IconLayout& layout = size == SMALL_ICON_SIZE ? SMALL_LAYOUT : LARGE_LAYOUT;
    const bool negative = reading < 0;
    const auto ink = static_cast<std::uint8_t>((negative ? backgroundIndex : textIndex) & 0xF);
    const auto paper = static_cast<std::uint8_t>((negative ? textIndex : backgroundIndex) & 0xF);
    const std::int64_t magnitude = negative ? -static_cast<std::int64_t>(reading) : reading;

    IconImage image{layout.size, {}};
    fillBackground(image, layout, paper);
    if (magnitude >= BARRED_READING) {
        drawBars(image, layout, ink);
        drawDigits(image, layout, static_cast<int>(magnitude % BARRED_READING), 3, ink);
    } else {
        const int value = static_cast<int>(magnitude);
        drawDigits(image, layout, value, value < 10 ? 1 : value < 100 ? 2 : 3, ink);
    }
    return image;
}

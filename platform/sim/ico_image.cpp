#include "platform/sim/ico_image.h"

namespace {

constexpr std::size_t DIRECTORY_SIZE = 6;
constexpr std::size_t DIRECTORY_ENTRY_SIZE = 16;
constexpr unsigned ICON_TYPE = 1;
constexpr std::size_t INFO_HEADER_SIZE = 40;
constexpr std::uint32_t UNCOMPRESSED = 0; // BI_RGB
constexpr std::size_t PALETTE_ENTRY_SIZE = 4;
constexpr std::uint32_t OPAQUE = 0xFF000000;
constexpr std::uint32_t TRANSPARENT = 0;

// Bytes of the untrusted file; every read is checked with fits() first.
struct Bytes {
    const unsigned char* data;
    std::size_t length;
};

// Where the parts of one DIB icon image lie, as offsets into its bytes.
struct DibLayout {
    Bytes image;
    unsigned bitCount;
    std::size_t paletteOffset;
    std::size_t paletteEntries;
    std::size_t colourOffset;
    std::size_t colourStride;
    std::size_t maskOffset;
    std::size_t maskStride;
};

bool fits(const Bytes& bytes, std::size_t offset, std::size_t count) {
    return offset <= bytes.length && count <= bytes.length - offset;
}

std::uint32_t readLittleEndian(const unsigned char* at, int byteCount) {
    std::uint32_t value = 0;
    for (int i = byteCount - 1; i >= 0; --i) {
        value = (value << 8) | at[i];
    }
    return value;
}

std::uint32_t read16(const unsigned char* at) {
    return readLittleEndian(at, 2);
}

std::uint32_t read32(const unsigned char* at) {
    return readLittleEndian(at, 4);
}

// Bytes per bitmap row: rows are padded to whole 32-bit words.
std::size_t rowStride(int width, unsigned bitCount) {
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

bool findImage(const Bytes& file, int size, Bytes& image) {
    if (!fits(file, 0, DIRECTORY_SIZE) || read16(file.data) != 0 ||
        read16(file.data + 2) != ICON_TYPE) {
        return false;
    }
    const std::size_t count = read16(file.data + 4);
    if (!fits(file, DIRECTORY_SIZE, count * DIRECTORY_ENTRY_SIZE)) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = file.data + DIRECTORY_SIZE + i * DIRECTORY_ENTRY_SIZE;
        // A width or height byte of 0 stands for 256, more than any size asked for.
        if (entry[0] == size && entry[1] == size) {
            const std::size_t length = read32(entry + 8);
            const std::size_t offset = read32(entry + 12);
            if (!fits(file, offset, length)) {
                return false;
            }
            image = Bytes{file.data + offset, length};
            return true;
        }
    }
    return false;
}

bool isSupportedBitCount(unsigned bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 32;
}

// The palette has as many entries as the header says, or all that the bit
// count can address when it says 0; a 32-bit image has none.
bool readPaletteSize(unsigned bitCount, std::uint32_t coloursUsed, std::size_t& entries) {
    const std::size_t addressable = bitCount <= 8 ? std::size_t{1} << bitCount : 0;
    entries = coloursUsed != 0 ? coloursUsed : addressable;
    return entries <= addressable;
}

bool readLayout(const Bytes& image, int size, DibLayout& layout) {
    if (!fits(image, 0, INFO_HEADER_SIZE)) {
        return false;
    }
    const unsigned char* header = image.data;
    const std::size_t headerSize = read32(header);
    const bool square = read32(header + 4) == static_cast<std::uint32_t>(size) &&
                        read32(header + 8) == static_cast<std::uint32_t>(2 * size);
    layout.image = image;
    layout.bitCount = read16(header + 14);
    if (headerSize < INFO_HEADER_SIZE || !square || read16(header + 12) != 1 ||
        read32(header + 16) != UNCOMPRESSED || !isSupportedBitCount(layout.bitCount) ||
        !readPaletteSize(layout.bitCount, read32(header + 32), layout.paletteEntries)) {
        return false;
    }
    const std::size_t rows = static_cast<std::size_t>(size);
    const std::size_t paletteBytes = layout.paletteEntries * PALETTE_ENTRY_SIZE;
    layout.paletteOffset = headerSize;
    layout.colourOffset = headerSize + paletteBytes;
    layout.colourStride = rowStride(size, layout.bitCount);
    layout.maskOffset = layout.colourOffset + layout.colourStride * rows;
    layout.maskStride = rowStride(size, 1);
    const std::size_t bitmapBytes = (layout.colourStride + layout.maskStride) * rows;
    return fits(image, headerSize, paletteBytes + bitmapBytes);
}

// The value of pixel x in a packed row of 1, 4 or 8 bits per pixel; the
// leftmost pixel is in the highest bits.
unsigned packedValue(const unsigned char* row, int x, unsigned bitCount) {
    const std::size_t bit = static_cast<std::size_t>(x) * bitCount;
    const unsigned shift = 8 - bitCount - static_cast<unsigned>(bit % 8);
    return (row[bit / 8] >> shift) & ((1u << bitCount) - 1);
}

bool isMasked(const DibLayout& layout, int x, int row) {
    const unsigned char* mask = layout.image.data + layout.maskOffset + row * layout.maskStride;
    return packedValue(mask, x, 1) != 0;
}

// Pixel x of bitmap row `row` (rows counted from the bottom) without its mask.
bool readColour(const DibLayout& layout, int x, int row, std::uint32_t& argb) {
    const unsigned char* colours =
        layout.image.data + layout.colourOffset + row * layout.colourStride;
    if (layout.bitCount == 32) {
        argb = read32(colours + 4 * x); // B, G, R, A in memory
        return true;
    }
    const unsigned index = packedValue(colours, x, layout.bitCount);
    if (index >= layout.paletteEntries) {
        return false;
    }
    const unsigned char* entry =
        layout.image.data + layout.paletteOffset + index * PALETTE_ENTRY_SIZE;
    argb = OPAQUE | (read32(entry) & 0x00FFFFFF); // B, G, R, unused in memory
    return true;
}

bool decodePixels(const DibLayout& layout, int size, std::uint32_t* argb) {
    for (int y = 0; y < size; ++y) {
        const int row = size - 1 - y; // bitmap rows run bottom-up
        for (int x = 0; x < size; ++x) {
            std::uint32_t& pixel = argb[y * size + x];
            if (!readColour(layout, x, row, pixel)) {
                return false;
            }
            if (isMasked(layout, x, row)) {
                pixel = TRANSPARENT;
            }
        }
    }
    return true;
}

} // namespace

bool decodeIcoImage(const unsigned char* data, std::size_t length, int size, SimIconPixels& out) {
    out.size = 0;
    if (size < 1 || size > SIM_ICON_MAX_SIZE) {
        return false;
    }
    Bytes image{};
    DibLayout layout{};
    if (!findImage(Bytes{data, length}, size, image) || !readLayout(image, size, layout) ||
        !decodePixels(layout, size, out.argb)) {
        return false;
    }
    out.size = size;
    return true;
}

#include "tests/tools/png_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>

namespace {

constexpr unsigned char SIGNATURE[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr unsigned char BIT_DEPTH = 8;
constexpr unsigned char COLOUR_TYPE_RGBA = 6;
constexpr std::uint32_t HEADER_LENGTH = 13;
constexpr unsigned char FILTER_NONE = 0;
// CMF: deflate with a 32 KiB window; FLG: no dictionary, check bits so that
// CMF * 256 + FLG is a multiple of 31.
constexpr unsigned char ZLIB_HEADER[] = {0x78, 0x01};
constexpr std::size_t STORED_BLOCK_MAX = 65535;
constexpr std::size_t STORED_BLOCK_HEADER = 5;
constexpr std::size_t ADLER_LENGTH = 4;
constexpr std::uint32_t ADLER_MODULUS = 65521;

constexpr std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) != 0 ? 0xEDB88320 ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> CRC_TABLE = makeCrcTable();

// The file being written, the running CRC-32 of its current chunk, and whether
// every write so far succeeded.
struct PngFile {
    std::FILE* file;
    std::uint32_t crc;
    bool ok;
};

void put(PngFile& png, const unsigned char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        png.crc = CRC_TABLE[(png.crc ^ bytes[i]) & 0xFF] ^ (png.crc >> 8);
    }
    png.ok = png.ok && std::fwrite(bytes, 1, count, png.file) == count;
}

void putByte(PngFile& png, unsigned char byte) {
    put(png, &byte, 1);
}

void putBigEndian32(PngFile& png, std::uint32_t value) {
    const unsigned char bytes[] = {
        static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
        static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
    put(png, bytes, sizeof bytes);
}

void putLittleEndian16(PngFile& png, std::size_t value) {
    putByte(png, static_cast<unsigned char>(value));
    putByte(png, static_cast<unsigned char>(value >> 8));
}

// A chunk's CRC covers its type and data, not its length.
void beginChunk(PngFile& png, std::uint32_t length, const char* type) {
    putBigEndian32(png, length);
    png.crc = 0xFFFFFFFF;
    put(png, reinterpret_cast<const unsigned char*>(type), 4);
}

void endChunk(PngFile& png) {
    putBigEndian32(png, png.crc ^ 0xFFFFFFFF);
}

void writeHeader(PngFile& png, int width, int height) {
    beginChunk(png, HEADER_LENGTH, "IHDR");
    putBigEndian32(png, static_cast<std::uint32_t>(width));
    putBigEndian32(png, static_cast<std::uint32_t>(height));
    const unsigned char rest[] = {BIT_DEPTH, COLOUR_TYPE_RGBA, 0, 0,
                                  0}; // deflate, filter 0, no interlace
    put(png, rest, sizeof rest);
    endChunk(png);
}

// The image data as a zlib stream of stored deflate blocks, written byte by
// byte: a block header opens every STORED_BLOCK_MAX bytes, and the Adler-32
// of the raw bytes runs along.
struct StoredStream {
    PngFile* png;
    std::size_t remaining;
    std::size_t blockRemaining;
    std::uint32_t adlerLow;
    std::uint32_t adlerHigh;
};

void beginStoredBlock(StoredStream& stream) {
    const std::size_t length = std::min(stream.remaining, STORED_BLOCK_MAX);
    const bool final = length == stream.remaining;
    putByte(*stream.png, final ? 1 : 0); // BFINAL, and BTYPE 00: stored
    putLittleEndian16(*stream.png, length);
    putLittleEndian16(*stream.png, ~length);
    stream.blockRemaining = length;
}

void putRaw(StoredStream& stream, unsigned char byte) {
    if (stream.blockRemaining == 0) {
        beginStoredBlock(stream);
    }
    putByte(*stream.png, byte);
    stream.adlerLow = (stream.adlerLow + byte) % ADLER_MODULUS;
    stream.adlerHigh = (stream.adlerHigh + stream.adlerLow) % ADLER_MODULUS;
    --stream.remaining;
    --stream.blockRemaining;
}

void putPixel(StoredStream& stream, std::uint32_t argb) {
    putRaw(stream, static_cast<unsigned char>(argb >> 16));
    putRaw(stream, static_cast<unsigned char>(argb >> 8));
    putRaw(stream, static_cast<unsigned char>(argb));
    putRaw(stream, static_cast<unsigned char>(argb >> 24));
}

// Every row is a filter byte followed by its pixels.
void writeImageData(PngFile& png, int width, int height, const std::uint32_t* argb) {
    const std::size_t rowBytes = 1 + 4 * static_cast<std::size_t>(width);
    const std::size_t rawBytes = rowBytes * static_cast<std::size_t>(height);
    const std::size_t blocks = (rawBytes + STORED_BLOCK_MAX - 1) / STORED_BLOCK_MAX;
    const std::size_t length =
        sizeof ZLIB_HEADER + blocks * STORED_BLOCK_HEADER + rawBytes + ADLER_LENGTH;
    beginChunk(png, static_cast<std::uint32_t>(length), "IDAT");
    put(png, ZLIB_HEADER, sizeof ZLIB_HEADER);
    StoredStream stream{&png, rawBytes, 0, 1, 0};
    for (int y = 0; y < height; ++y) {
        putRaw(stream, FILTER_NONE);
        for (int x = 0; x < width; ++x) {
            putPixel(stream, argb[static_cast<std::size_t>(y) * width + x]);
        }
    }
    putBigEndian32(png, (stream.adlerHigh << 16) | stream.adlerLow);
    endChunk(png);
}

void writeEnd(PngFile& png) {
    beginChunk(png, 0, "IEND");
    endChunk(png);
}

} // namespace

bool writePng(const char* path, int width, int height, const std::uint32_t* argb) {
    if (width < 1 || height < 1 || width > PNG_MAX_SIDE || height > PNG_MAX_SIDE) {
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    PngFile png{file, 0, true};
    put(png, SIGNATURE, sizeof SIGNATURE);
    writeHeader(png, width, height);
    writeImageData(png, width, height, argb);
    writeEnd(png);
    const bool closed = std::fclose(file) == 0;
    return png.ok && closed;
}

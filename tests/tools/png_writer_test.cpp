// The PNG writer, checked by reading its files back byte by byte: chunks and
// their CRCs, the header, and the stored deflate blocks of the image data.

#include "tests/tools/png_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct Chunk {
    std::string type;
    Bytes data;
    std::uint32_t crc;
};

std::uint32_t bigEndian32(const Bytes& bytes, std::size_t at) {
    return (std::uint32_t{bytes.at(at)} << 24) | (bytes.at(at + 1) << 16) |
           (bytes.at(at + 2) << 8) | bytes.at(at + 3);
}

unsigned littleEndian16(const Bytes& bytes, std::size_t at) {
    return bytes.at(at) | (bytes.at(at + 1) << 8);
}

// Bit by bit, independent of the writer's table.
std::uint32_t crc32(const std::string& type, const Bytes& data) {
    std::uint32_t crc = 0xFFFFFFFF;
    Bytes bytes(type.begin(), type.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    for (const unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
    }
    return ~crc;
}

std::uint32_t adler32(const Bytes& bytes) {
    std::uint32_t low = 1;
    std::uint32_t high = 0;
    for (const unsigned char byte : bytes) {
        low = (low + byte) % 65521;
        high = (high + low) % 65521;
    }
    return (high << 16) | low;
}

Bytes readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The chunks after the signature; an empty list when one runs past the end.
std::vector<Chunk> readChunks(const Bytes& file) {
    std::vector<Chunk> chunks;
    for (std::size_t at = 8; at < file.size();) {
        if (file.size() - at < 12 || file.size() - at - 12 < bigEndian32(file, at)) {
            return {};
        }
        const std::size_t length = bigEndian32(file, at);
        const auto data = file.begin() + static_cast<std::ptrdiff_t>(at + 8);
        chunks.push_back(Chunk{std::string(&file[at + 4], &file[at + 8]),
                               Bytes(data, data + static_cast<std::ptrdiff_t>(length)),
                               bigEndian32(file, at + 8 + length)});
        at += 12 + length;
    }
    return chunks;
}

// The raw bytes held by a zlib stream of stored deflate blocks; checks each
// block's length against its complement, the final flag, and the Adler-32.
Bytes unstore(const Bytes& zlib) {
    EXPECT_EQ(zlib.at(0), 0x78);
    EXPECT_EQ((zlib.at(0) * 256 + zlib.at(1)) % 31, 0);
    Bytes raw;
    std::size_t at = 2;
    for (bool final = false; !final;) {
        final = zlib.at(at) == 1;
        EXPECT_TRUE(zlib.at(at) == 0 || final) << "not a stored block at " << at;
        const unsigned length = littleEndian16(zlib, at + 1);
        EXPECT_EQ(length ^ 0xFFFF, littleEndian16(zlib, at + 3));
        if (zlib.size() - at - 5 < length) {
            ADD_FAILURE() << "a stored block runs past the end";
            return raw;
        }
        const auto data = zlib.begin() + static_cast<std::ptrdiff_t>(at + 5);
        raw.insert(raw.end(), data, data + length);
        at += 5 + length;
    }
    EXPECT_EQ(zlib.size(), at + 4);
    EXPECT_EQ(bigEndian32(zlib, at), adler32(raw));
    return raw;
}

std::vector<std::uint32_t> testPattern(int width, int height) {
    std::vector<std::uint32_t> argb;
    for (int i = 0; i < width * height; ++i) {
        argb.push_back(0x80FF4020u + static_cast<std::uint32_t>(i) * 0x01030507u);
    }
    return argb;
}

// Rows of a filter byte 0 and R, G, B, A for each pixel.
Bytes expectedRaw(int width, int height, const std::vector<std::uint32_t>& argb) {
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = argb[y * width + x];
            for (const int shift : {16, 8, 0, 24}) {
                raw.push_back(static_cast<unsigned char>(pixel >> shift));
            }
        }
    }
    return raw;
}

std::string tempPath() {
    return ::testing::TempDir() + "png_writer_test.png";
}

struct Size {
    int width;
    int height;
};

// 200 x 100 needs two stored blocks.
constexpr Size SIZES[] = {{1, 1}, {3, 2}, {2, 3}, {200, 100}};

TEST(PngWriterTest, FilesHoldTheHeaderCheckedChunksAndThePixelsStoredInOrder) {
    for (const Size size : SIZES) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        const std::vector<std::uint32_t> argb = testPattern(size.width, size.height);
        ASSERT_TRUE(writePng(tempPath().c_str(), size.width, size.height, argb.data()));
        const Bytes file = readFile(tempPath());
        const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        ASSERT_GE(file.size(), signature.size());
        EXPECT_TRUE(std::equal(signature.begin(), signature.end(), file.begin()));

        const std::vector<Chunk> chunks = readChunks(file);
        ASSERT_EQ(chunks.size(), 3u);
        EXPECT_EQ(chunks[0].type, "IHDR");
        EXPECT_EQ(chunks[1].type, "IDAT");
        EXPECT_EQ(chunks[2].type, "IEND");
        for (const Chunk& chunk : chunks) {
            EXPECT_EQ(chunk.crc, crc32(chunk.type, chunk.data)) << chunk.type;
        }
        EXPECT_EQ(chunks[2].crc, 0xAE426082u);

        const Bytes& header = chunks[0].data;
        ASSERT_EQ(header.size(), 13u);
        EXPECT_EQ(bigEndian32(header, 0), static_cast<std::uint32_t>(size.width));
        EXPECT_EQ(bigEndian32(header, 4), static_cast<std::uint32_t>(size.height));
        EXPECT_EQ(Bytes(header.begin() + 8, header.end()), (Bytes{8, 6, 0, 0, 0}));

        EXPECT_EQ(unstore(chunks[1].data), expectedRaw(size.width, size.height, argb));
    }
    std::remove(tempPath().c_str());
}

TEST(PngWriterTest, BadSizesAndUnwritablePathsAreRefused) {
    const std::uint32_t pixel = 0xFF000000;
    EXPECT_FALSE(writePng(tempPath().c_str(), 0, 1, &pixel));
    EXPECT_FALSE(writePng(tempPath().c_str(), 1, -1, &pixel));
    EXPECT_FALSE(writePng(tempPath().c_str(), PNG_MAX_SIDE + 1, 1, &pixel));
    EXPECT_FALSE(writePng("/nonexistent-folder/x.png", 1, 1, &pixel));
}

} // namespace

#pragma once
// Icon files (.ico) decoded into pixels, so that the simulated handheld can
// show the very icons the Windows build compiles into the program.

#include <cstddef>
#include <cstdint>

// The application icon, resources/tavil.ico, built into the simulated handheld.
extern const unsigned char APPLICATION_ICON_FILE[];
extern const std::size_t APPLICATION_ICON_FILE_SIZE;

constexpr int SIM_ICON_MAX_SIZE = 64;

// One square icon image, row-major with the top row first. Each pixel is
// 0xAARRGGBB; alpha 0 is transparent and 0xFF opaque.
struct SimIconPixels {
    int size;
    std::uint32_t argb[SIM_ICON_MAX_SIZE * SIM_ICON_MAX_SIZE];
};

// Decodes the size x size image of the .ico file in [data, data + length) into
// out. Reads 1, 4 and 8 bits per pixel with a palette and 32 bits per pixel
// BGRA, each with its AND mask, and never reads outside the file. Returns false,
// with out.size 0, when the file has no image of that size, the size is not
// 1..SIM_ICON_MAX_SIZE, or the file is malformed or cut short.
bool decodeIcoImage(const unsigned char* data, std::size_t length, int size, SimIconPixels& out);

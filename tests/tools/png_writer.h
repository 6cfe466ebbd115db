#pragma once
// PNG files for development tools that need to show pixels, such as previews of
// the application icon.

#include <cstdint>

constexpr int PNG_MAX_SIDE = 16384;

// Writes width x height pixels, 0xAARRGGBB in rows top first, to path as an
// 8-bit RGBA PNG whose image data is stored uncompressed. Returns false when a
// side is not 1..PNG_MAX_SIDE or the file cannot be written.
bool writePng(const char* path, int width, int height, const std::uint32_t* argb);

#pragma once
// The device reports sizes in 32 bits; a desktop with more reports the largest.

#include <algorithm>
#include <cstdint>

inline std::uint32_t fittedToDevice(std::uint64_t bytes) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, 0xFFFFFFFF));
}

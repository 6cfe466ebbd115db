#pragma once
// Byte counts as the program shows them: whole megabytes, any fraction dropped.

#include <cstdint>

constexpr std::uint32_t wholeMegabytes(std::uint32_t bytes) {
    return bytes >> 20;
}

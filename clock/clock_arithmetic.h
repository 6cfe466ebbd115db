#pragma once
// Arithmetic on CCCR images: their fields, frequency-list positions, core and
// memory clock in MHz, and replacing one field of an image. Images are 32-bit;
// bits 31:16 are never composed here, only carried over from the image given.
// Nothing here touches the hardware: the turbo state is passed in.

#include <cstdint>

// Frequency-list positions (command id - 10000): PXA27x 0..8, PXA25x 9..14.
inline constexpr int NO_FREQUENCY_INDEX = -1;
inline constexpr int FIRST_PXA25X_INDEX = 9;
inline constexpr int LAST_FREQUENCY_INDEX = 14;
inline constexpr int LAST_PXA27X_INDEX = 8;

// The field values the program's commands use on each family. Ratios are in
// halves: 2 is x1.0, 8 is x4.0.
inline constexpr std::uint32_t PXA27X_MHZ_PER_L = 13;
inline constexpr std::uint32_t LOWEST_PXA27X_RUN_MULTIPLIER = 2;
inline constexpr std::uint32_t RUN_BASE_208_MULTIPLIER = 16; // PXA27x L 16 and up: 208 MHz base
inline constexpr std::uint32_t HIGHEST_PXA25X_RUN_MULTIPLIER = 5; // its five memory clocks
inline constexpr std::uint32_t LOWEST_RATIO = 2;
inline constexpr std::uint32_t HIGHEST_PXA25X_RATIO = 6;
inline constexpr std::uint32_t HIGHEST_PXA27X_RATIO = 8;

// The fields: L (bits 4:0), M (bits 6:5, PXA25x), and the turbo ratio in
// halves, N (bits 9:7) on PXA25x or 2N (bits 10:7) on PXA27x, 0 without clock
// control.
std::uint32_t runMultiplierOf(std::uint32_t image);
std::uint32_t memoryMultiplierOf(std::uint32_t image);
std::uint32_t turboRatioOf(std::uint32_t image);

// Whether two images agree in their low 16 bits, the part this program composes.
bool sameLowHalf(std::uint32_t a, std::uint32_t b);

// The list entry the image stands for with turbo on or off, or -1.
int cccrToMenuIndex(std::uint32_t image, bool turbo);

// Core frequency of the image with turbo on or off; 0 without clock control.
std::uint32_t cccrToMhz(std::uint32_t image, bool turbo);

// System bus (PXA27x) or memory (PXA25x) clock of the image; 0 without clock control.
std::uint32_t memoryClockMhz(std::uint32_t image);

// The image that selects list entry `index` over bits 31:16 of `base`, or 0 when
// there is none. Without the 208 MHz run base (`highClocks` false) the PXA27x
// entries above 416 MHz have no image: their 2N would not fit its field.
std::uint32_t cccrForFrequencyIndex(int index, std::uint32_t base, bool highClocks);

// Whether the fields of the image lie where the program's own commands put them
// on the running family: PXA27x L 2..31, 2N 2..8 and bits 6:5 clear; PXA25x L 1..5, M 1..3 and
// N 2..6; nothing else in bits 15:7. Bits 31:16 do not count.
bool isProducibleConfig(std::uint32_t image);

// The image with L (bits 4:0), N or 2N (bits 15:7), or M (bits 6:5) replaced.
std::uint32_t withRunMultiplier(std::uint32_t image, std::uint32_t runMultiplier);
std::uint32_t withTurboRatio(std::uint32_t image, std::uint32_t ratio);
std::uint32_t withMemoryMultiplier(std::uint32_t image, std::uint32_t memoryMultiplier);

#include "clock/clock_arithmetic.h"

#include "core/app_state.h"

#include <algorithm>
#include <iterator>

namespace {

// Low 16 bits of the image of each frequency-list entry.

// PXA27x, 208 MHz run base (L 16) where it applies; list positions 0..8.
constexpr std::uint16_t PXA27X_LIST_208_BASE[] = {
    0x0104, //  52 MHz: L 4  (52 MHz run) x 1
    0x0108, // 104 MHz: L 8  (104 MHz run) x 1
    0x0110, // 208 MHz: L 16 (208 MHz run) x 1
    0x0190, // 312 MHz: L 16 x 1.5
    0x0210, // 416 MHz: L 16 x 2
    0x0290, // 520 MHz: L 16 x 2.5
    0x0310, // 624 MHz: L 16 x 3
    0x0390, // 728 MHz: L 16 x 3.5
    0x0410, // 832 MHz: L 16 x 4
};

// PXA27x, 104 MHz run base (L 8); list positions 0..4, nothing above 416 MHz.
constexpr std::uint16_t PXA27X_LIST_104_BASE[] = {
    0x0104, //  52 MHz: L 4 (52 MHz run) x 1
    0x0108, // 104 MHz: L 8 (104 MHz run) x 1
    0x0208, // 208 MHz: L 8 x 2
    0x0308, // 312 MHz: L 8 x 3
    0x0408, // 416 MHz: L 8 x 4
};

// PXA25x, list positions 9..14; all with a 100 MHz memory clock (L 1).
constexpr std::uint16_t PXA25X_LIST[] = {
    0x0121, // 100 MHz: M 1 (run 100) x 1
    0x0141, // 200 MHz: M 2 (run 200) x 1
    0x01C1, // 300 MHz: M 2 x 1.5
    0x0241, // 400 MHz: M 2 x 2
    0x02C1, // 500 MHz: M 2 x 2.5
    0x0341, // 600 MHz: M 2 x 3
};

struct ImageIndex {
    std::uint16_t bits;
    int index;
};

// PXA25x with turbo: other splits of M and N that give a list frequency.
constexpr ImageIndex PXA25X_OTHER_SPLITS[] = {
    {0x0221, 10}, // 200 MHz: M 1 (run 100) x 2
    {0x0321, 11}, // 300 MHz: M 1 x 3
    {0x0161, 12}, // 400 MHz: M 3 (run 400) x 1
    {0x01E1, 14}, // 600 MHz: M 3 x 1.5
};

// PXA25x without turbo: the run frequency, from L and M (low 7 bits).
constexpr ImageIndex PXA25X_RUN_ONLY[] = {
    {0x21, 9},  // 100 MHz
    {0x41, 10}, // 200 MHz
    {0x61, 12}, // 400 MHz
};

// PXA27x without turbo: the run frequency, from L.
constexpr ImageIndex PXA27X_RUN_ONLY[] = {
    {4, 0},  //  52 MHz
    {8, 1},  // 104 MHz
    {16, 2}, // 208 MHz
};

constexpr std::uint32_t LOW_HALF = 0x0000FFFF;
constexpr std::uint32_t HIGH_HALF = 0xFFFF0000;
constexpr std::uint32_t L_FIELD = 0x1F; // bits 4:0
constexpr std::uint32_t M_FIELD = 0x60; // bits 6:5
constexpr int M_SHIFT = 5;
constexpr std::uint32_t PXA25X_N_FIELD = 0x380;     // bits 9:7
constexpr std::uint32_t PXA27X_2N_FIELD = 0x780;    // bits 10:7
constexpr std::uint32_t TURBO_RATIO_FIELD = 0xFF80; // bits 15:7, all that a ratio replaces
constexpr int N_SHIFT = 7;
constexpr std::uint32_t PXA25X_RUN_ONLY_BITS = 0x7F;
constexpr std::uint32_t PXA27X_LOWEST_RUN_MHZ = 26;

template <std::size_t Count>
int positionOf(const std::uint16_t (&list)[Count], std::uint32_t bits, int firstIndex) {
    const auto found = std::find(std::begin(list), std::end(list), bits);
    return found == std::end(list) ? NO_FREQUENCY_INDEX
                                   : firstIndex + static_cast<int>(found - std::begin(list));
}

template <std::size_t Count> int lookUp(const ImageIndex (&table)[Count], std::uint32_t bits) {
    for (const ImageIndex& row : table) {
        if (row.bits == bits) {
            return row.index;
        }
    }
    return NO_FREQUENCY_INDEX;
}

int pxa25xMenuIndex(std::uint32_t image, bool turbo) {
    if (!turbo) {
        return lookUp(PXA25X_RUN_ONLY, image & PXA25X_RUN_ONLY_BITS);
    }
    const std::uint32_t bits = image & LOW_HALF;
    const int listed = positionOf(PXA25X_LIST, bits, FIRST_PXA25X_INDEX);
    return listed != NO_FREQUENCY_INDEX ? listed : lookUp(PXA25X_OTHER_SPLITS, bits);
}

int pxa27xMenuIndex(std::uint32_t image, bool turbo) {
    if (!turbo) {
        return lookUp(PXA27X_RUN_ONLY, runMultiplierOf(image));
    }
    const std::uint32_t bits = image & LOW_HALF;
    const int listed = positionOf(PXA27X_LIST_208_BASE, bits, 0);
    return listed != NO_FREQUENCY_INDEX ? listed : positionOf(PXA27X_LIST_104_BASE, bits, 0);
}

std::uint32_t pxa25xMemoryMhz(std::uint32_t image) {
    const std::uint32_t l = runMultiplierOf(image);
    return l >= 1 && l <= 5 ? appState.memClockTable[l - 1] : appState.memClockTable[0];
}

std::uint32_t pxa27xRunMhz(std::uint32_t image) {
    return std::max(PXA27X_MHZ_PER_L * runMultiplierOf(image), PXA27X_LOWEST_RUN_MHZ);
}

// Turbo frequency: run frequency x ratio / 2, the ratio counted in halves.
std::uint32_t withTurbo(std::uint32_t runMhz, std::uint32_t halves) {
    return runMhz * halves / 2;
}

} // namespace

std::uint32_t runMultiplierOf(std::uint32_t image) {
    return image & L_FIELD;
}

std::uint32_t memoryMultiplierOf(std::uint32_t image) {
    return (image & M_FIELD) >> M_SHIFT;
}

std::uint32_t turboRatioOf(std::uint32_t image) {
    switch (appState.clockFamily) {
    case ClockFamily::Pxa25x:
        return (image & PXA25X_N_FIELD) >> N_SHIFT;
    case ClockFamily::Pxa27x:
        return (image & PXA27X_2N_FIELD) >> N_SHIFT;
    case ClockFamily::None:
        break;
    }
    return 0;
}

bool sameLowHalf(std::uint32_t a, std::uint32_t b) {
    return (a & LOW_HALF) == (b & LOW_HALF);
}

int cccrToMenuIndex(std::uint32_t image, bool turbo) {
    switch (appState.clockFamily) {
    case ClockFamily::Pxa25x:
        return pxa25xMenuIndex(image, turbo);
    case ClockFamily::Pxa27x:
        return pxa27xMenuIndex(image, turbo);
    case ClockFamily::None:
        break;
    }
    return NO_FREQUENCY_INDEX;
}

std::uint32_t cccrToMhz(std::uint32_t image, bool turbo) {
    switch (appState.clockFamily) {
    case ClockFamily::Pxa25x: {
        const std::uint32_t run =
            pxa25xMemoryMhz(image) * appState.memRatioTable[memoryMultiplierOf(image)];
        return turbo ? withTurbo(run, std::max(turboRatioOf(image), LOWEST_RATIO)) : run;
    }
    case ClockFamily::Pxa27x: {
        const std::uint32_t run = pxa27xRunMhz(image);
        return turbo ? withTurbo(
                           run, std::clamp(turboRatioOf(image), LOWEST_RATIO, HIGHEST_PXA27X_RATIO))
                     : run;
    }
    case ClockFamily::None:
        break;
    }
    return 0;
}

std::uint32_t memoryClockMhz(std::uint32_t image) {
    switch (appState.clockFamily) {
    case ClockFamily::Pxa25x:
        return pxa25xMemoryMhz(image);
    case ClockFamily::Pxa27x:
        return appState.fastBus != 0 ? pxa27xRunMhz(image) : pxa27xRunMhz(image) / 2;
    case ClockFamily::None:
        break;
    }
    return 0;
}

std::uint32_t cccrForFrequencyIndex(int index, std::uint32_t base, bool highClocks) {
    std::uint32_t bits = 0;
    if (index >= FIRST_PXA25X_INDEX && index <= LAST_FREQUENCY_INDEX) {
        bits = PXA25X_LIST[index - FIRST_PXA25X_INDEX];
    } else if (index >= 0 && highClocks &&
               index < static_cast<int>(std::size(PXA27X_LIST_208_BASE))) {
        bits = PXA27X_LIST_208_BASE[index];
    } else if (index >= 0 && index < static_cast<int>(std::size(PXA27X_LIST_104_BASE))) {
        bits = PXA27X_LIST_104_BASE[index];
    } else {
        return 0;
    }
    return (base & HIGH_HALF) | bits;
}

bool isProducibleConfig(std::uint32_t image) {
    const std::uint32_t l = runMultiplierOf(image);
    const std::uint32_t ratio = (image & TURBO_RATIO_FIELD) >> N_SHIFT; // no bit above N or 2N
    switch (appState.clockFamily) {
    case ClockFamily::Pxa25x: {
        const std::uint32_t m = memoryMultiplierOf(image);
        return l >= 1 && l <= HIGHEST_PXA25X_RUN_MULTIPLIER && m >= 1 && ratio >= LOWEST_RATIO &&
               ratio <= HIGHEST_PXA25X_RATIO;
    }
    case ClockFamily::Pxa27x: // it has no M field: bits 6:5 stay clear
        return l >= LOWEST_PXA27X_RUN_MULTIPLIER && memoryMultiplierOf(image) == 0 &&
               ratio >= LOWEST_RATIO && ratio <= HIGHEST_PXA27X_RATIO;
    case ClockFamily::None:
        break;
    }
    return false;
}

std::uint32_t withRunMultiplier(std::uint32_t image, std::uint32_t runMultiplier) {
    return (image & ~L_FIELD) | (runMultiplier & L_FIELD);
}

std::uint32_t withTurboRatio(std::uint32_t image, std::uint32_t ratio) {
    return (image & ~TURBO_RATIO_FIELD) | ((ratio << N_SHIFT) & TURBO_RATIO_FIELD);
}

std::uint32_t withMemoryMultiplier(std::uint32_t image, std::uint32_t memoryMultiplier) {
    return (image & ~M_FIELD) | ((memoryMultiplier << M_SHIFT) & M_FIELD);
}

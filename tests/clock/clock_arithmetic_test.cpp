#include "clock/clock_arithmetic.h"

#include "tests/support/sim_test_fixture.h"

#include <cstdint>

namespace {

constexpr std::uint32_t TURBO = 0x1;
constexpr std::uint32_t NO_TURBO = 0x0;
constexpr std::uint32_t UPPER_BITS = 0x02A50000; // A bit and other bits never composed

struct ListEntry {
    int index;
    std::uint32_t mhz;
};

constexpr ListEntry PXA27X_ENTRIES[] = {{0, 52},  {1, 104}, {2, 208}, {3, 312}, {4, 416},
                                        {5, 520}, {6, 624}, {7, 728}, {8, 832}};
constexpr ListEntry PXA25X_ENTRIES[] = {{9, 100},  {10, 200}, {11, 300},
                                        {12, 400}, {13, 500}, {14, 600}};

class ClockArithmeticTest : public SimTest {};

TEST_F(ClockArithmeticTest, EveryOfferedEntryRoundTripsWithTurbo) {
    runningWith(ClockFamily::Pxa27x, UPPER_BITS | 0x0210, TURBO);
    for (const bool highClocks : {true, false}) {
        for (const ListEntry& entry : PXA27X_ENTRIES) {
            if (!highClocks && entry.index > 4) {
                continue; // not offered without the 208 MHz run base
            }
            const std::uint32_t image = cccrForFrequencyIndex(entry.index, UPPER_BITS, highClocks);
            SCOPED_TRACE(testing::Message()
                         << "PXA27x entry " << entry.index << " high " << highClocks);
            EXPECT_EQ(image & 0xFFFF0000, UPPER_BITS);
            EXPECT_EQ(cccrToMenuIndex(image, true), entry.index);
            EXPECT_EQ(cccrToMhz(image, true), entry.mhz);
        }
    }
    runningWith(ClockFamily::Pxa25x, UPPER_BITS | 0x0241, TURBO);
    for (const ListEntry& entry : PXA25X_ENTRIES) {
        const std::uint32_t image = cccrForFrequencyIndex(entry.index, UPPER_BITS, true);
        SCOPED_TRACE(testing::Message() << "PXA25x entry " << entry.index);
        EXPECT_EQ(image & 0xFFFF0000, UPPER_BITS);
        EXPECT_EQ(cccrToMenuIndex(image, true), entry.index);
        EXPECT_EQ(cccrToMhz(image, true), entry.mhz);
    }
}

TEST_F(ClockArithmeticTest, ListImagesAreTheHardwareEncodings) {
    struct Row {
        int index;
        bool highClocks;
        std::uint32_t lowBits;
    };
    constexpr Row rows[] = {
        {0, true, 0x0104},   {1, true, 0x0108},  {2, true, 0x0110},  {3, true, 0x0190},
        {4, true, 0x0210},   {5, true, 0x0290},  {8, true, 0x0410},  {0, false, 0x0104},
        {2, false, 0x0208},  {3, false, 0x0308}, {4, false, 0x0408}, {9, true, 0x0121},
        {11, false, 0x01C1}, {14, true, 0x0341},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(cccrForFrequencyIndex(row.index, 0xFFFF1234, row.highClocks),
                  0xFFFF0000 | row.lowBits)
            << "index " << row.index << " high " << row.highClocks;
    }
}

TEST_F(ClockArithmeticTest, IndexesWithoutAnImageGiveNone) {
    for (const int index : {-1, 15, 16, 1000}) {
        EXPECT_EQ(cccrForFrequencyIndex(index, 0x02000210, true), 0u) << index;
    }
    // Without the 208 MHz run base, 520 to 832 MHz would need a 2N above 8:
    // such an image would spill into bit 11, so there is none.
    for (const int index : {5, 6, 7, 8}) {
        EXPECT_EQ(cccrForFrequencyIndex(index, 0x02000208, false), 0u) << index;
    }
}

struct Classification {
    ClockFamily family;
    std::uint32_t cclkcfg;
    std::uint32_t image;
    int index;
    std::uint32_t mhz;
};

TEST_F(ClockArithmeticTest, ClassifiesImagesByFamilyAndTurbo) {
    constexpr Classification rows[] = {
        {ClockFamily::Pxa27x, NO_TURBO, 0x0190, 2, 208},
        {ClockFamily::Pxa27x, TURBO, 0x0190, 3, 312},
        {ClockFamily::Pxa27x, TURBO, 0xFFFF0190, 3, 312}, // upper bits never matter
        {ClockFamily::Pxa27x, NO_TURBO, 0x0104, 0, 52},
        {ClockFamily::Pxa27x, NO_TURBO, 0x0408, 1, 104},
        {ClockFamily::Pxa27x, TURBO, 0x0208, 2, 208},
        {ClockFamily::Pxa27x, TURBO, 0x019F, -1, 604}, // L 31 x 1.5
        {ClockFamily::Pxa27x, TURBO, 0x0508, -1, 416}, // 2N 10 counts as 8
        {ClockFamily::Pxa27x, TURBO, 0x0808, -1, 104}, // 2N reads 0, counts as 2
        {ClockFamily::Pxa27x, TURBO, 0x0101, -1, 26},  // L 1 counts as 26 MHz
        {ClockFamily::Pxa27x, TURBO, 0x0214, -1, 520}, // L 20 x 2
        {ClockFamily::Pxa25x, NO_TURBO, 0x0161, 12, 400},
        {ClockFamily::Pxa25x, TURBO, 0x0161, 12, 400},
        {ClockFamily::Pxa25x, TURBO, 0x0221, 10, 200},
        {ClockFamily::Pxa25x, TURBO, 0x0321, 11, 300},
        {ClockFamily::Pxa25x, TURBO, 0x01E1, 14, 600},
        {ClockFamily::Pxa25x, NO_TURBO, 0x0341, 10, 200},
        {ClockFamily::Pxa25x, TURBO, 0x03C1, -1, 700},
        {ClockFamily::Pxa25x, TURBO, 0x0140, -1, 200}, // L 0: memory counts as 100
        {ClockFamily::Pxa25x, TURBO, 0x0146, -1, 200}, // L 6: memory counts as 100
        {ClockFamily::Pxa25x, TURBO, 0x0143, -1, 266}, // L 3 (133 MHz) x 2
        {ClockFamily::Pxa25x, TURBO, 0x0001, -1, 100}, // M 0 is x1, N 0 counts as 2
        {ClockFamily::Pxa25x, TURBO, 0x0541, -1, 200}, // bit 10 lies above N
    };
    for (const Classification& row : rows) {
        runningWith(row.family, row.image, row.cclkcfg);
        EXPECT_EQ(cccrToMenuIndex(row.image, row.cclkcfg == TURBO), row.index)
            << std::hex << row.image;
        EXPECT_EQ(cccrToMhz(row.image, row.cclkcfg == TURBO), row.mhz) << std::hex << row.image;
    }
}

TEST_F(ClockArithmeticTest, WithoutClockControlNothingIsClassified) {
    appState.clockFamily = ClockFamily::None;
    EXPECT_EQ(cccrToMenuIndex(0x0210, true), -1);
    EXPECT_EQ(cccrToMhz(0x0210, true), 0u);
    EXPECT_EQ(memoryClockMhz(0x0210), 0u);
}

TEST_F(ClockArithmeticTest, MemoryClockFollowsFamilyAndFastBus) {
    struct Row {
        ClockFamily family;
        std::uint8_t fastBus;
        std::uint32_t image;
        std::uint32_t mhz;
    };
    constexpr Row rows[] = {
        {ClockFamily::Pxa27x, 1, 0x0210, 208}, {ClockFamily::Pxa27x, 0, 0x0210, 104},
        {ClockFamily::Pxa27x, 0, 0x0101, 13},  {ClockFamily::Pxa25x, 1, 0x0143, 133},
        {ClockFamily::Pxa25x, 0, 0x0145, 166}, {ClockFamily::Pxa25x, 1, 0x0140, 100},
        {ClockFamily::Pxa25x, 1, 0x0147, 100},
    };
    for (const Row& row : rows) {
        runningWith(row.family, row.image, TURBO);
        appState.fastBus = row.fastBus;
        EXPECT_EQ(memoryClockMhz(row.image), row.mhz) << std::hex << row.image;
    }
}

TEST_F(ClockArithmeticTest, FieldReplacementKeepsEveryOtherBit) {
    EXPECT_EQ(withRunMultiplier(0xFFFFFFFF, 20), 0xFFFFFFF4u);
    EXPECT_EQ(withRunMultiplier(0x02000290, 8), 0x02000288u);
    // The ratio replaces bits 15:7 whole: bits 15:11 above 2N are cleared too.
    EXPECT_EQ(withTurboRatio(0xFFFFFFFF, 2), 0xFFFF017Fu);
    EXPECT_EQ(withTurboRatio(0x02000210, 5), 0x02000290u);
    EXPECT_EQ(withMemoryMultiplier(0xFFFFFFFF, 1), 0xFFFFFFBFu);
    EXPECT_EQ(withMemoryMultiplier(0x00000121, 3), 0x00000161u);
}

} // namespace

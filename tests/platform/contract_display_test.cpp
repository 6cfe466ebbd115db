// What the logic relies on from the display, checked on every platform: the
// simulated handheld, which can turn, and a desktop under Wine, which the
// program never turns and which may refuse even the orientation it has.

#include "platform/display_settings.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t UNTOUCHED = 0xA5A5A5A5;
constexpr std::uint32_t ROTATION_BITS = ORIENTATION_90 | ORIENTATION_180 | ORIENTATION_270;

DisplayModeRecord asking(std::uint32_t field) {
    return DisplayModeRecord{DISPLAY_MODE_RECORD_SIZE, field, UNTOUCHED};
}

TEST(DisplayContract, QueriesAnswerWithoutChangingTheRequest) {
    DisplayModeRecord current = asking(DISPLAY_FIELD_ORIENTATION);
    EXPECT_EQ(changeDisplaySettings(current, DISPLAY_TEST_ONLY), 0);
    EXPECT_TRUE(current.orientation == ORIENTATION_0 || current.orientation == ORIENTATION_90 ||
                current.orientation == ORIENTATION_180 || current.orientation == ORIENTATION_270)
        << current.orientation;

    DisplayModeRecord supported = asking(DISPLAY_FIELD_QUERY_ORIENTATIONS);
    EXPECT_EQ(changeDisplaySettings(supported, DISPLAY_TEST_ONLY), 0);
    EXPECT_EQ(supported.size, DISPLAY_MODE_RECORD_SIZE);
    EXPECT_EQ(supported.fields, DISPLAY_FIELD_QUERY_ORIENTATIONS);
    EXPECT_EQ(supported.orientation & ~ROTATION_BITS, 0u) << supported.orientation;
}

TEST(DisplayContract, ApplyingTheOrientationInForceKeepsIt) {
    DisplayModeRecord before = asking(DISPLAY_FIELD_ORIENTATION);
    ASSERT_EQ(changeDisplaySettings(before, DISPLAY_TEST_ONLY), 0);
    DisplayModeRecord apply = before;
    EXPECT_LE(changeDisplaySettings(apply, DISPLAY_APPLY_NOW), 0) << "accepted or refused";
    DisplayModeRecord after = asking(DISPLAY_FIELD_ORIENTATION);
    ASSERT_EQ(changeDisplaySettings(after, DISPLAY_TEST_ONLY), 0);
    EXPECT_EQ(after.orientation, before.orientation);
}

TEST(DisplayContract, RequestsTheDeviceWouldRefuseAreRefusedUntouched) {
    struct Row {
        DisplayModeRecord record;
        std::uint32_t flags;
    };
    const Row rows[] = {
        {{DISPLAY_MODE_RECORD_SIZE - 4, DISPLAY_FIELD_ORIENTATION, UNTOUCHED}, DISPLAY_TEST_ONLY},
        {{DISPLAY_MODE_RECORD_SIZE, DISPLAY_FIELD_ORIENTATION, UNTOUCHED}, 0x40000000},
        {{DISPLAY_MODE_RECORD_SIZE, 0, UNTOUCHED}, DISPLAY_TEST_ONLY},
        {{DISPLAY_MODE_RECORD_SIZE, 0, ORIENTATION_0}, DISPLAY_APPLY_NOW},
        {{DISPLAY_MODE_RECORD_SIZE, DISPLAY_FIELD_ORIENTATION, 3}, DISPLAY_APPLY_NOW},
        {{DISPLAY_MODE_RECORD_SIZE, DISPLAY_FIELD_ORIENTATION, 8}, DISPLAY_APPLY_NOW},
    };
    for (const Row& row : rows) {
        DisplayModeRecord record = row.record;
        EXPECT_LT(changeDisplaySettings(record, row.flags), 0)
            << "size " << row.record.size << " fields " << row.record.fields << " orientation "
            << row.record.orientation << " flags " << row.flags;
        EXPECT_EQ(record.orientation, row.record.orientation);
    }
}

// Only the simulated handheld and a desktop run these tests; neither restarts.
TEST(DisplayContract, TheRestartRequestReturns) {
    restartDevice();
}

} // namespace

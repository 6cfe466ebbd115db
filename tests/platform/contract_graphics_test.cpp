// Bitmaps, icons, the notification area and the status queries, as the tray
// icon relies on them, checked on every platform.

#include "platform/graphics.h"
#include "platform/live_objects.h"
#include "platform/notification_icon.h"
#include "platform/system_status.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// A 16-pixel square in palette index 12 with its four corners transparent.
struct SquareBits {
    std::uint8_t color[16 * 8];
    std::uint8_t mask[16 * 2];
};

SquareBits square() {
    SquareBits bits{};
    for (std::uint8_t& byte : bits.color) {
        byte = 0xCC;
    }
    bits.mask[0] = 0x80;
    bits.mask[1] = 0x01;
    bits.mask[30] = 0x80;
    bits.mask[31] = 0x01;
    return bits;
}

class GraphicsContract : public ::testing::Test {
  protected:
    void SetUp() override { before = livePlatformObjects(); }
    void TearDown() override {
        const LiveObjectCounts after = livePlatformObjects();
        EXPECT_EQ(after.bitmaps, before.bitmaps);
        EXPECT_EQ(after.icons, before.icons);
    }
    LiveObjectCounts before{};
};

TEST_F(GraphicsContract, TheApplicationIconLoadsAtBothTrayIconSizes) {
    for (const int size : {16, 32}) {
        const IconHandle icon = loadApplicationIcon(ModuleHandle::None, size);
        EXPECT_NE(icon, IconHandle::None) << size;
        EXPECT_EQ(livePlatformObjects().icons, before.icons + 1);
        destroyIcon(icon);
    }
}

TEST_F(GraphicsContract, AnIconOutlivesTheBitmapsItWasMadeFrom) {
    const SquareBits bits = square();
    const BitmapHandle color = createBitmap(16, 16, 4, bits.color);
    const BitmapHandle mask = createBitmap(16, 16, 1, bits.mask);
    ASSERT_NE(color, BitmapHandle::None);
    ASSERT_NE(mask, BitmapHandle::None);
    EXPECT_EQ(livePlatformObjects().bitmaps, before.bitmaps + 2);
    const IconHandle icon = createIconFromBitmaps(color, mask);
    deleteBitmap(mask);
    deleteBitmap(color);
    ASSERT_NE(icon, IconHandle::None);
    EXPECT_EQ(livePlatformObjects().bitmaps, before.bitmaps);
    EXPECT_EQ(livePlatformObjects().icons, before.icons + 1);
    destroyIcon(icon);
}

TEST_F(GraphicsContract, ReleasingNothingDoesNothing) {
    deleteBitmap(BitmapHandle::None);
    destroyIcon(IconHandle::None);
}

TEST(NotificationIconContract, AnIconIsAddedModifiedAndDeleted) {
    NotifyIconRecord record{};
    record.size = NOTIFY_ICON_RECORD_SIZE;
    record.window = static_cast<WindowHandle>(0x10010);
    record.id = 1;
    record.flags = NOTIFY_FLAG_MESSAGE | NOTIFY_FLAG_ICON | NOTIFY_FLAG_TIP;
    record.callbackMessage = 1026;
    record.icon = loadApplicationIcon(ModuleHandle::None, 16);
    EXPECT_TRUE(addNotifyIcon(record));
    EXPECT_TRUE(modifyNotifyIcon(record));
    EXPECT_TRUE(deleteNotifyIcon(record));
    EXPECT_FALSE(modifyNotifyIcon(record)) << "an icon that is gone cannot be modified";
    destroyIcon(record.icon);
}

TEST(SystemStatusContract, MemoryAndPowerAreReportedInRange) {
    const MemoryStatus memory = queryMemoryStatus();
    EXPECT_GT(memory.totalPhysical, 0u);
    EXPECT_LE(memory.availablePhysical, memory.totalPhysical);
    EXPECT_LE(memory.memoryLoad, 100u);
    for (const bool fresh : {false, true}) {
        const PowerStatus power = queryPowerStatus(fresh);
        EXPECT_TRUE(power.batteryLifePercent <= 100 || power.batteryLifePercent == 255);
    }
}

} // namespace

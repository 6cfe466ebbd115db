#include "platform/sim/sim_graphics.h"

#include "platform/graphics.h"
#include "platform/notification_icon.h"
#include "platform/sim/sim_handheld.h"

#include <cstring>

SimNotificationArea& simNotificationArea = simHandheld.graphics.notificationArea;
SimIconWatcher simIconWatcher = nullptr;

namespace {

SimGraphics& graphics = simHandheld.graphics;

// The colours of the 16 palette indexes of a 4-bit bitmap, as 0xRRGGBB.
constexpr std::uint32_t DEFAULT_PALETTE[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
constexpr std::uint32_t OPAQUE = 0xFF000000;

// Handles are slot numbers plus one, so that None (0) is never a live object.
template <typename Slot, int Capacity>
Slot* slotOf(Slot (&slots)[Capacity], std::uintptr_t handle) {
    if (handle == 0 || handle > Capacity || !slots[handle - 1].live) {
        return nullptr;
    }
    return &slots[handle - 1];
}

template <typename Slot, int Capacity> std::uintptr_t freeSlot(Slot (&slots)[Capacity]) {
    for (int i = 0; i < Capacity; ++i) {
        if (!slots[i].live) {
            return static_cast<std::uintptr_t>(i + 1);
        }
    }
    return 0;
}

int rowBytes(int width, int bitsPerPixel) {
    return (width * bitsPerPixel + 15) / 16 * 2;
}

int pixelAt(const SimBitmap& bitmap, int x, int y) {
    const std::uint8_t byte =
        bitmap.bits[y * rowBytes(bitmap.width, bitmap.bitsPerPixel) + x * bitmap.bitsPerPixel / 8];
    if (bitmap.bitsPerPixel == 4) {
        return x % 2 == 0 ? byte >> 4 : byte & 0xF;
    }
    return (byte >> (7 - x % 8)) & 1;
}

template <typename Slot, int Capacity> int liveCount(const Slot (&slots)[Capacity]) {
    int live = 0;
    for (const Slot& slot : slots) {
        live += slot.live ? 1 : 0;
    }
    return live;
}

bool graphicsHeapFull() {
    return graphics.liveObjectLimit > 0 &&
           liveCount(graphics.bitmaps) + liveCount(graphics.icons) >= graphics.liveObjectLimit;
}

IconHandle storeIcon(const SimIconPixels& pixels) {
    const std::uintptr_t handle =
        graphics.iconCreationFails || graphicsHeapFull() ? 0 : freeSlot(graphics.icons);
    if (handle == 0) {
        return IconHandle::None;
    }
    graphics.icons[handle - 1] = SimIcon{true, pixels};
    ++graphics.objectsMade;
    return static_cast<IconHandle>(handle);
}

void show(const NotifyIconRecord& record) {
    simNotificationArea.window = record.window;
    simNotificationArea.id = record.id;
    if ((record.flags & NOTIFY_FLAG_MESSAGE) != 0) {
        simNotificationArea.callbackMessage = record.callbackMessage;
    }
    if ((record.flags & NOTIFY_FLAG_ICON) != 0) {
        simNotificationArea.icon = record.icon;
        const SimIconPixels* pixels = simIconPixels(record.icon);
        simNotificationArea.shown = pixels != nullptr ? *pixels : SimIconPixels{};
    }
    simNotificationArea.flags = record.flags;
}

void tellWatcher(SimIconCall call, const NotifyIconRecord& record) {
    if (simIconWatcher != nullptr) {
        simIconWatcher(call, record);
    }
}

bool isShownIcon(const NotifyIconRecord& record) {
    return simNotificationArea.iconPresent && simNotificationArea.window == record.window &&
           simNotificationArea.id == record.id;
}

} // namespace

int simLiveBitmaps() {
    return liveCount(graphics.bitmaps);
}
int simLiveIcons() {
    return liveCount(graphics.icons);
}
int simApplicationIconLoads() {
    return graphics.applicationIconLoads;
}
int simGraphicsObjectsMade() {
    return graphics.objectsMade;
}

const SimIconPixels* simIconPixels(IconHandle icon) {
    const SimIcon* slot = slotOf(graphics.icons, static_cast<std::uintptr_t>(icon));
    return slot != nullptr ? &slot->pixels : nullptr;
}

IconHandle loadApplicationIcon(ModuleHandle, int size) {
    ++graphics.applicationIconLoads;
    SimIconPixels pixels;
    if (!decodeIcoImage(APPLICATION_ICON_FILE, APPLICATION_ICON_FILE_SIZE, size, pixels)) {
        return IconHandle::None;
    }
    return storeIcon(pixels);
}

BitmapHandle createBitmap(int width, int height, int bitsPerPixel, const void* bits) {
    const bool supported = (bitsPerPixel == 1 || bitsPerPixel == 4) && width > 0 && height > 0 &&
                           width <= 64 && height <= 64;
    const bool refused = graphics.bitmapCreationFails || graphicsHeapFull();
    const std::uintptr_t handle =
        supported && bits != nullptr && !refused ? freeSlot(graphics.bitmaps) : 0;
    if (handle == 0) {
        return BitmapHandle::None;
    }
    SimBitmap& bitmap = graphics.bitmaps[handle - 1];
    bitmap = SimBitmap{true, width, height, bitsPerPixel, {}};
    std::memcpy(bitmap.bits, bits,
                static_cast<std::size_t>(rowBytes(width, bitsPerPixel) * height));
    ++graphics.objectsMade;
    return static_cast<BitmapHandle>(handle);
}

IconHandle createIconFromBitmaps(BitmapHandle color, BitmapHandle mask) {
    const SimBitmap* colorBitmap = slotOf(graphics.bitmaps, static_cast<std::uintptr_t>(color));
    const SimBitmap* maskBitmap = slotOf(graphics.bitmaps, static_cast<std::uintptr_t>(mask));
    if (colorBitmap == nullptr || maskBitmap == nullptr ||
        colorBitmap->width != colorBitmap->height || maskBitmap->width != colorBitmap->width ||
        maskBitmap->height != colorBitmap->height) {
        return IconHandle::None;
    }
    SimIconPixels pixels{colorBitmap->width, {}};
    for (int y = 0; y < pixels.size; ++y) {
        for (int x = 0; x < pixels.size; ++x) {
            const bool transparent = pixelAt(*maskBitmap, x, y) != 0;
            const int index = colorBitmap->bitsPerPixel == 4 ? pixelAt(*colorBitmap, x, y)
                                                             : 15 * pixelAt(*colorBitmap, x, y);
            pixels.argb[y * pixels.size + x] = transparent ? 0 : OPAQUE | DEFAULT_PALETTE[index];
        }
    }
    return storeIcon(pixels);
}

void deleteBitmap(BitmapHandle bitmap) {
    if (SimBitmap* slot = slotOf(graphics.bitmaps, static_cast<std::uintptr_t>(bitmap))) {
        slot->live = false;
    }
}

void destroyIcon(IconHandle icon) {
    if (SimIcon* slot = slotOf(graphics.icons, static_cast<std::uintptr_t>(icon))) {
        slot->live = false;
    }
}

bool addNotifyIcon(const NotifyIconRecord& record) {
    tellWatcher(SimIconCall::Add, record);
    ++simNotificationArea.addCalls;
    if (simNotificationArea.addFails || isShownIcon(record)) {
        return false;
    }
    show(record);
    simNotificationArea.iconPresent = true;
    return true;
}

bool modifyNotifyIcon(const NotifyIconRecord& record) {
    tellWatcher(SimIconCall::Modify, record);
    ++simNotificationArea.modifyCalls;
    if (simNotificationArea.modifyFails || !isShownIcon(record)) {
        return false;
    }
    show(record);
    return true;
}

bool deleteNotifyIcon(const NotifyIconRecord& record) {
    tellWatcher(SimIconCall::Delete, record);
    ++simNotificationArea.deleteCalls;
    if (!isShownIcon(record)) {
        return false;
    }
    simNotificationArea.iconPresent = false;
    return true;
}

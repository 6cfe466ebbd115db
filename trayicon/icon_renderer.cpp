#include "trayicon/icon_renderer.h"

#include "clock/clock_arithmetic.h"
#include "core/app_state.h"
#include "core/megabytes.h"
#include "platform/graphics.h"
#include "platform/notification_icon.h"
#include "platform/system_status.h"
#include "trayicon/icon_bitmaps.h"
#include "trayicon/reading_icon.h"

namespace {

// Without clock control no clock register is read.
std::int32_t frequencyReading() {
    if (appState.clockFamily == ClockFamily::None) {
        return 0;
    }
    return static_cast<std::int32_t>(cccrToMhz(appState.currentCccr, appState.readTurbo()));
}

std::int32_t currentReading() {
    switch (static_cast<IconView>(appState.iconView)) {
    case IconView::Frequency:
        return frequencyReading();
    case IconView::Load:
        return appState.cpuLoad;
    case IconView::Memory:
        return static_cast<std::int32_t>(wholeMegabytes(queryMemoryStatus().availablePhysical));
    case IconView::Battery:
        return queryPowerStatus(false).batteryLifePercent;
    case IconView::Current:
        return queryPowerStatus(false).batteryCurrent;
    case IconView::Normal:
        break;
    }
    return 0;
}

// The notification area shows `icon` from now on and the one it showed before
// goes. When the icon could not be made or shown, the area keeps the old one and
// the new one goes instead: false.
bool showIcon(IconHandle icon) {
    const IconHandle previous = appState.notifyData.icon;
    appState.notifyData.icon = icon;
    if (icon == IconHandle::None || !modifyNotifyIcon(appState.notifyData)) {
        appState.notifyData.icon = previous;
        destroyIcon(icon);
        return false;
    }
    destroyIcon(previous);
    return true;
}

void noteRefresh(bool iconShown) {
    appState.iconRefreshFailed = iconShown ? 0 : 1;
}

IconHandle makeReadingIcon(std::int32_t reading) {
    const unsigned textIndex = appState.iconColors & 0xF;
    const unsigned backgroundIndex = appState.iconColors >> 16 & 0xF;
    const IconImage image = composeReadingIcon(reading, textIndex, backgroundIndex, trayIconSize());
    IconBitmapBits bits;
    encodeIconBitmaps(image, bits);
    const BitmapHandle color = createBitmap(image.size, image.size, 4, bits.color);
    const BitmapHandle mask = createBitmap(image.size, image.size, 1, bits.mask);
    const IconHandle icon = createIconFromBitmaps(color, mask);
    deleteBitmap(mask);
    deleteBitmap(color);
    return icon;
}

} // namespace

void refreshTrayIcon() {
    if (appState.iconView == static_cast<std::uint32_t>(IconView::Normal)) {
        noteRefresh(showIcon(loadApplicationIcon(appState.instance, trayIconSize())));
        return;
    }
    const std::int32_t reading = currentReading();
    if (appState.iconReadingDrawn != 0 && reading == appState.lastIconReading) {
        noteRefresh(true);
        return;
    }
    const bool shown = showIcon(makeReadingIcon(reading));
    if (shown) {
        appState.lastIconReading = reading;
        appState.iconReadingDrawn = 1;
    }
    noteRefresh(shown);
}

void forceIconRedraw() {
    appState.iconReadingDrawn = 0;
}

int trayIconSize() {
    return appState.iconScale == 1 ? SMALL_ICON_SIZE : LARGE_ICON_SIZE;
}

#include "platform/graphics.h"
#include "platform/win32/live_counts.h"
#include "platform/win32/native_handles.h"

#include <windows.h>

namespace {

constexpr WORD APPLICATION_ICON_GROUP = 100;
int bitmaps = 0;
int icons = 0;

HINSTANCE module(ModuleHandle instance) {
    return instance != ModuleHandle::None ? native<HINSTANCE>(instance) : GetModuleHandleW(nullptr);
}

IconHandle counted(HICON icon) {
    icons += icon != nullptr ? 1 : 0;
    return handleOf<IconHandle>(icon);
}

} // namespace

IconHandle loadApplicationIcon(ModuleHandle instance, int size) {
    return counted(static_cast<HICON>(LoadImageW(
        module(instance), MAKEINTRESOURCEW(APPLICATION_ICON_GROUP), IMAGE_ICON, size, size, 0)));
}

BitmapHandle createBitmap(int width, int height, int bitsPerPixel, const void* bits) {
    HBITMAP bitmap = CreateBitmap(width, height, 1, static_cast<UINT>(bitsPerPixel), bits);
    bitmaps += bitmap != nullptr ? 1 : 0;
    return handleOf<BitmapHandle>(bitmap);
}

IconHandle createIconFromBitmaps(BitmapHandle color, BitmapHandle mask) {
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = native<HBITMAP>(mask);
    info.hbmColor = native<HBITMAP>(color);
    return counted(CreateIconIndirect(&info));
}

void deleteBitmap(BitmapHandle bitmap) {
    if (bitmap != BitmapHandle::None && DeleteObject(native<HBITMAP>(bitmap))) {
        --bitmaps;
    }
}

void destroyIcon(IconHandle icon) {
    if (icon != IconHandle::None && DestroyIcon(native<HICON>(icon))) {
        --icons;
    }
}

int liveBitmaps() {
    return bitmaps;
}
int liveIcons() {
    return icons;
}

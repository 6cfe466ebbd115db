#include "platform/graphics.h"
#include "platform/win32/live_counts.h"

#include <windows.h>

namespace {

constexpr WORD APPLICATION_ICON_GROUP = 100;
int bitmaps = 0;
int icons = 0;

HINSTANCE module(ModuleHandle instance) {
    return instance != ModuleHandle::None
               ? reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(instance))
               : GetModuleHandleW(nullptr);
}

IconHandle counted(HICON icon) {
    icons += icon != nullptr ? 1 : 0;
    return static_cast<IconHandle>(reinterpret_cast<std::uintptr_t>(icon));
}

template <typename Handle, typename Windows> Windows native(Handle handle) {
    return reinterpret_cast<Windows>(static_cast<std::uintptr_t>(handle));
}

} // namespace

IconHandle loadApplicationIcon(ModuleHandle instance, int size) {
    return counted(static_cast<HICON>(LoadImageW(
        module(instance), MAKEINTRESOURCEW(APPLICATION_ICON_GROUP), IMAGE_ICON, size, size, 0)));
}

BitmapHandle createBitmap(int width, int height, int bitsPerPixel, const void* bits) {
    HBITMAP bitmap = CreateBitmap(width, height, 1, static_cast<UINT>(bitsPerPixel), bits);
    bitmaps += bitmap != nullptr ? 1 : 0;
    return static_cast<BitmapHandle>(reinterpret_cast<std::uintptr_t>(bitmap));
}

IconHandle createIconFromBitmaps(BitmapHandle color, BitmapHandle mask) {
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = native<BitmapHandle, HBITMAP>(mask);
    info.hbmColor = native<BitmapHandle, HBITMAP>(color);
    return counted(CreateIconIndirect(&info));
}

void deleteBitmap(BitmapHandle bitmap) {
    if (bitmap != BitmapHandle::None && DeleteObject(native<BitmapHandle, HBITMAP>(bitmap))) {
        --bitmaps;
    }
}

void destroyIcon(IconHandle icon) {
    if (icon != IconHandle::None && DestroyIcon(native<IconHandle, HICON>(icon))) {
        --icons;
    }
}

int liveBitmaps() {
    return bitmaps;
}
int liveIcons() {
    return icons;
}

#pragma once
// Bitmaps and icons.

#include "platform/handles.h"

// Icon group 100 of the program's resources at size x size pixels.
IconHandle loadApplicationIcon(ModuleHandle instance, int size);

// A monochrome-plane bitmap holding a copy of `bits`: rows top first, each row
// padded to a multiple of 2 bytes, 4 bits per pixel (palette index, left pixel
// in the high nibble) or 1 bit per pixel (leftmost pixel in the top bit).
BitmapHandle createBitmap(int width, int height, int bitsPerPixel, const void* bits);

// An icon (hot spot 0,0) from a colour bitmap and a mask bitmap whose set bits
// are transparent. The icon keeps its own copy: the bitmaps may be deleted.
IconHandle createIconFromBitmaps(BitmapHandle color, BitmapHandle mask);

void deleteBitmap(BitmapHandle bitmap);
void destroyIcon(IconHandle icon);

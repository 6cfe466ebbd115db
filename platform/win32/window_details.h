#pragma once
// What the desktop's windows and the device's do differently: where a window of
// a class registered here and a dialog keep the program's procedure, and how a
// window class names a system colour as its background.

#include "platform/dialogs.h"
#include "platform/windowing.h"

#include <cstdint>

// The procedure kept with the window or dialog; null before one is kept.
WindowProcedure keptWindowProcedure(WindowHandle window);
void keepWindowProcedure(WindowHandle window, WindowProcedure procedure);
DialogProcedure keptDialogProcedure(WindowHandle dialog);
void keepDialogProcedure(WindowHandle dialog, DialogProcedure procedure);

// The class record's background for the program's value: a brush, or a system
// colour named as the device names it, 0x40000000 plus the colour number.
std::uintptr_t classBackground(std::uintptr_t background);

#pragma once
// Dialogs made from the program's dialog templates, their controls and texts.

#include "platform/windowing.h"

#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t WM_INITDIALOG_MESSAGE = 272;
inline constexpr std::uint32_t DIALOG_OK = 1;

// A dialog procedure answers 1 for a message it handled and 0 otherwise.
using DialogProcedure = WindowProcedure;

// Makes the dialog of template `templateId` in the module's resources, without
// owner, and shows it; its procedure receives the initialise message before
// this returns, and later messages through the program's message loop. None
// when the template is missing or the dialog cannot be made.
WindowHandle createDialogFromResource(ModuleHandle instance, unsigned templateId,
                                      DialogProcedure procedure);

// Closes the dialog: it and its controls are gone afterwards.
void endDialog(WindowHandle dialog, std::intptr_t result);

WindowHandle dialogItem(WindowHandle dialog, int id);
void setWindowText(WindowHandle window, const char16_t* text);

// The window's text in `capacity` characters with its terminator (cut to
// fit); returns its length. For checks from outside the program's logic.
std::size_t windowText(WindowHandle window, char16_t* buffer, std::size_t capacity);

void bringWindowToFront(WindowHandle window);

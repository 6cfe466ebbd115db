#pragma once
// The five information dialogs: one dialog per kind at a time, opened from the
// popup menu, brought to the front when opened again, closed by their OK
// button.

#include "platform/dialogs.h"

#include <cstdint>

enum class InfoDialogKind { Processor, Power, Memory, System, About };

void openInfoDialog(InfoDialogKind kind);

std::intptr_t processorDialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam);
std::intptr_t powerDialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam);
std::intptr_t memoryDialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam);
std::intptr_t systemDialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam);
std::intptr_t aboutDialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam);

// The live dialogs, rewritten at every tick of the main window's timer while open.
void refreshProcessorDialog();
void refreshPowerDialog();

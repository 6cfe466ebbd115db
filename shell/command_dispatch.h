#pragma once
// The popup menu's chosen command, handed to the subsystem that carries it out.

#include "platform/handles.h"

#include <cstdint>

// The command message's handler; the command id is the low 16 bits of wParam.
std::intptr_t dispatchCommand(WindowHandle window, std::uintptr_t wParam, std::intptr_t lParam);

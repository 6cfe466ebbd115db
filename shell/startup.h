#pragma once
// The program's entry: one copy only, the probes, the hidden main window, and
// the message loop until the program is told to quit.

#include "platform/handles.h"

// Runs the program, or hands a second copy's request to the copy that runs.
// The exit code is 0 on every path.
int runTavil(ModuleHandle instance, const char16_t* commandLine);

// Gets, translates and dispatches messages until the quit message.
void runMessageLoop();

#pragma once
// What the fuzz targets share: each input runs on a freshly switched-on
// simulated handheld, the program is ended as its exit command ends it, and
// anything the run left behind aborts the run, as the sanitizers do.

#include "platform/handles.h"
#include "platform/sim/sim_processor.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

inline constexpr ModuleHandle FUZZ_MODULE = static_cast<ModuleHandle>(0x400000);

// A fresh AppState on a handheld just switched on with this processor.
void switchOnHandheld(SimProcessorKind processor);

// One of the three processors the simulated handheld knows.
SimProcessorKind pickProcessor(FuzzedDataProvider& input);

// Starts the program and lets it run for `milliseconds` of the handheld's time.
void startProgram(const char16_t* commandLine, std::uint32_t milliseconds);

// Lets the running program handle what is queued and what `milliseconds` bring.
void letProgramRun(std::uint32_t milliseconds);

// The program's main window, or None once it has ended.
WindowHandle mainWindow();

// Ends the program as its exit command does, if it still runs, and checks that
// it ended cleanly: no window, no icon in the taskbar, every platform object
// released, kernel mode off.
void endProgramCleanly();

// Aborts with `what` on standard error when `holds` is false.
void require(bool holds, const char* what);

// Keeps the program's printing (the script mode's screens) off the fuzzer's output.
void silenceStandardOutput();

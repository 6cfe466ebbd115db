#pragma once
// What the world outside the program does to the simulated handheld, for the
// terminal front-end's keys and its script commands alike.

#include <cstdint>

// Another program writes the CCCR and starts a frequency change with it.
void worldWriteCccr(std::uint32_t cccr);

// External power plugged in or pulled; the battery charges or discharges from then on.
void worldSetExternalPower(bool plugged);

// The main battery's charge, 0..100.
void worldSetBatteryPercent(std::uint8_t percent);

// A program starts (its id returned, 0 when none can start) or ends (false
// when no process has that id).
std::uint32_t worldStartProcess(const char16_t* exeFile, std::uint32_t threads);
bool worldEndProcess(std::uint32_t processId);

// The screen turns: ORIENTATION_0, _90, _180 or _270.
void worldRotateScreen(std::uint32_t orientation);

// A second copy of the program starts with this command line in the same
// handheld: it hands its request to the running copy and ends.
void worldStartSecondCopy(const char16_t* commandLine);

// The user taps the tray icon; false when there is none.
bool worldTapIcon();

// A run of the program begins: no close has been asked of it yet.
void worldStartRun();

// The user closes the program as its own exit command does (its window gets the
// close message); asked again, or without a window, the program is told to quit.
void worldCloseProgram();

// The user presses OK in the caption of the information dialog on top; false
// when none is open.
bool worldPressDialogOk();

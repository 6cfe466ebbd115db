#pragma once
// What the world outside the program does to the simulated handheld, for the
// terminal front-end's keys and its script commands alike.

#include <cstdint>

// Another program writes the CCCR and starts a frequency change with it.
void worldWriteCccr(std::uint32_t cccr);

// What another program writes by the panel's key: 104 MHz on the PXA27x
// (L 8 over a 2N of 2), over the upper bits kept.
std::uint32_t worldOthersCccr();

// External power plugged in or pulled; the battery charges or discharges from
// then on, and its current changes sign at once.
void worldSetExternalPower(bool plugged);

// The main battery's charge, 0..100.
void worldSetBatteryPercent(std::uint8_t percent);

// The processor's load goes to the next of 5, 50 and 95 % above it (from 95
// back to 5), or to the percentage given, 0..100.
void worldCycleLoad();
void worldSetLoad(std::uint8_t percent);

// Whether another program holds the 8 MB it took.
bool worldMemoryTaken();

// Another program takes 8 MB of the free memory, or gives back what it took.
// False when it neither holds any nor finds 8 MB free.
bool worldTakeOrGiveMemory();

// A program starts (its id returned, 0 when none can start) or ends (false
// when no process has that id, or it is the kernel, which cannot be ended).
std::uint32_t worldStartProcess(const char16_t* exeFile, std::uint32_t threads);
bool worldEndProcess(std::uint32_t processId);

// Ends the most recently started program of those worldStartProcess started
// that still runs; false when none does.
bool worldEndLastStarted();

// The screen turns: ORIENTATION_0, _90, _180 or _270.
void worldRotateScreen(std::uint32_t orientation);

// The screen turns on by 90 degrees from where it stands now.
void worldRotateOnward();

// A second copy of the program starts with this command line in the same
// handheld: it hands its request to the running copy and ends. Its exit code.
int worldStartSecondCopy(const char16_t* commandLine);

// The user taps the tray icon; false when there is none.
bool worldTapIcon();

// A run of the program begins: no close has been asked of it yet, and the
// handheld starts the program again when a restart finds its Startup shortcut.
void worldStartRun();

// The user closes the program as its own exit command does (its window gets the
// close message); asked again, or without a window, the program is told to quit.
void worldCloseProgram();

// The user presses OK in the caption of the information dialog on top; false
// when none is open.
bool worldPressDialogOk();

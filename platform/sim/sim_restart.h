#pragma once
// A warm restart of the simulated handheld, as the device carries out the one a
// program asks for (restartDevice): the program's process ends where it stands
// and the system takes back all it held; a full reset (the clean-restart mark)
// first returns the registry and files to the factory state; the system's own
// processes start again, the processor as after power-on; the display driver
// takes the screen mode its registry key now names; then each shortcut in the
// Startup folder starts its program, Tavil among them when its shortcut is
// there.
//
// Only a front-end that can start the program again (simProgramMain set) has
// restarts carried out; without one (the tests), a restart is only counted and
// the program goes on, as restartDevice's contract allows.

#include "platform/handles.h"

using SimProgramMain = int (*)(ModuleHandle instance, const char16_t* commandLine);

// The program's entry, called when \Windows\Tavil.exe starts on the handheld.
extern SimProgramMain simProgramMain;

struct SimRestarts {
    int carriedOut;           // simDisplay.restarts counts those asked
    bool lastWasFull;         // the last one was a full reset
    bool programStartedAgain; // the last one started Tavil from the Startup folder
};

// Whether a restart was asked that has not been carried out.
bool simRestartPending();

// Carries out the restart asked for. When the Startup folder starts Tavil, this
// returns once that run of the program ends; when nothing starts it, the
// handheld runs on under the driver until the user ends the session or starts
// a copy of Tavil and that copy ends.
void simRestartHandheld();

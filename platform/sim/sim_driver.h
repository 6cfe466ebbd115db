#pragma once
// What drives the simulated handheld from outside while the program waits: a
// terminal front-end or a script. Without a driver (the tests) the handheld
// runs on virtual time alone: a wait jumps to the next timer, menus choose what
// a test scripted and message boxes answer as scripted.

#include "platform/menus.h"

#include <cstdint>

struct SimDriver {
    // The program waits and no message is queued: lets the outside world act
    // until virtual time reaches `dueMs` (the next timer; UINT64_MAX for none)
    // or something happens, and moves simClock on as time passes. Posting
    // messages, changing the world or posting the close message to the main
    // window all count as something happening.
    void (*wait)(std::uint64_t dueMs);
    // A popup menu is up (its waiting messages already delivered): the command
    // chosen, or 0 when the user closes it without a choice.
    std::uint32_t (*chooseMenuCommand)(MenuHandle menu, int x, int y);
    // A message box is up: the id of the button that closes it.
    int (*answerMessageBox)(const char16_t* text, const char16_t* caption, std::uint32_t style);
};

// All members null: no driver.
extern SimDriver simDriver;

#pragma once
// Virtual time of the simulated handheld. Time passes only when the program
// waits for its next message: the wait jumps to the next timer that is due. A
// test says how long the handheld may run; once that time is reached with
// nothing left to do, the wait ends as if the program had been told to quit.

#include <cstdint>

struct SimClock {
    std::uint64_t now;           // milliseconds since the handheld was switched on
    std::uint64_t runUntil;      // the message loop gives up at this time
    bool ranOutOfTime;           // the last wait ended because runUntil was reached
    std::uint32_t loadPercent;   // share of the time the processor is busy
    bool idleCounterKept;        // false: the idle-time counter reads 0xFFFFFFFF
    std::uint32_t idleCounter;   // milliseconds idle, wrapping at 2^32
    std::uint32_t idleRemainder; // busy-share arithmetic carried between steps
};

extern SimClock& simClock; // simHandheld.clock

// Time 0, 20 % busy, the idle counter kept and at 48 s (the handheld has been
// on for a minute before the program starts).
SimClock simClockSwitchedOn();

// Lets the message loop run for `milliseconds` more of virtual time.
void simAllowTime(std::uint32_t milliseconds);

// Moves virtual time forward, counting the idle share of it and stepping the
// battery.
void simAdvanceClock(std::uint64_t milliseconds);

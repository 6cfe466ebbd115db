#pragma once
// Start-up identification of the processor and its first clock state.

#include <cstdint>

// Reads the identification words into cpuId and cacheType, sets clockFamily,
// and gives the frequencies shown their turbo reader (readTurbo).
// Returns CCLKCFG as read at start-up (0 when it could not be read). A fault
// shows the "no access" message and keeps whatever was read before it.
std::uint32_t detectProcessor();

// Reads the CCCR into currentCccr on a recognised processor; when it cannot be
// read, clock control is given up (clockFamily None) with the same message.
// Without a preset the two clock flags follow the registers.
void readClockState(std::uint32_t startupCclkcfg, bool presetGiven);

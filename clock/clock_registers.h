#pragma once
// Register primitives of clock control: the CCCR read, the turbo bit, and
// fast-bus mode.

#include <cstdint>

// The only two values ever written to CCLKCFG: turbo and the frequency change
// sequence (FCS), with or without fast-bus mode (B).
inline constexpr std::uint32_t CCLKCFG_TURBO = 0x1;
inline constexpr std::uint32_t CCLKCFG_CHANGE = 0x3;
inline constexpr std::uint32_t CCLKCFG_CHANGE_FAST_BUS = 0xB;
inline constexpr std::uint32_t CCLKCFG_FAST_BUS = 0x8;

// The CCCR as it stands, or 0 when its window cannot be mapped.
std::uint32_t readCccr();

// True when CCLKCFG has the turbo bit set, read now and kept in turboActive.
// When the read faults, turboActive answers: the last good reading, or the turbo
// that the last change word set.
bool isTurboActive();

// Writes CCLKCFG with fast-bus mode on or off (and turbo, FCS) and records it in
// fastBus; a fault sounds the error beep and leaves fastBus as it was.
void setFastBusMode(bool on);

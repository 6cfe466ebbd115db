#pragma once
// Applying a clock configuration, keeping it in force, and the presets.

#include <cstdint>

// Writes the image to the CCCR and starts the frequency change through CCLKCFG.
// On success the image becomes currentCccr and appState.clockApplied is called. Image 0 is
// never written; a window that cannot be mapped sounds the error beep; a fault
// during the write is silent. currentCccr keeps its value on every failure.
void applyClockConfig(std::uint32_t image);

// The stored user preset, when there is one; a stored value that the program's
// own commands could not have produced on this processor sounds the error beep
// and is not written (it stays stored).
void applyUserPreset();

void selectFrequencyIndex(int index);
void setRunMultiplier(std::uint32_t runMultiplier); // also sets highClocksAllowed
void setTurboRatio(std::uint32_t ratio);
void setMemoryMultiplier(std::uint32_t memoryMultiplier);

// Writes currentCccr again when the register no longer holds it.
void enforceClockConfig();

// Preset numbers 0..9: list entries by family, 9 the user preset.
void applyStartupPreset(int preset);
void applyExternalPreset(std::intptr_t preset);

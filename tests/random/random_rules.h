#pragma once
// What must hold of the program on the simulated handheld, whatever was done to
// it: between two messages, at its start and at its exit. Each check returns
// what broke, or an empty text when all held.

#include "platform/handles.h"
#include "platform/sim/sim_processor.h"

#include <cstdint>
#include <string>
#include <vector>

// What the random run knows about the copy of the program that runs.
struct RunFacts {
    ModuleHandle instance;                           // what the copy was started with
    SimProcessorKind processor;                      // of the handheld it runs on
    std::uint32_t startupCccr;                       // the CCCR as the copy found it
    std::uint32_t startupCclkcfg;                    // and CCLKCFG
    bool presetGiven;                                // its command line asked for a preset
    bool faultAtStartup;                             // a fault switch was on while it started
    bool faultOn;                                    // a fault switch is on now
    bool tickDelivered;                              // the last step delivered the one-second tick
    std::vector<std::uint32_t> userPresetHighHalves; // bits 31:16 of every user preset it held
};

// The stored settings as the registry held them before the copy started:
// each value that exists with exactly 4 bytes, else absent.
struct StoredSettings {
    bool keyExists;
    bool present[5]; // MinFreq, MaxFreq, View, UserFreq, Color
    std::uint32_t value[5];
};

StoredSettings readStoredSettings();

// Between two messages of the running copy.
std::string checkBetweenMessages(const RunFacts& facts);

// Once the copy has started: what start-up made of the handheld and the settings.
std::string checkStartedCopy(const RunFacts& facts, const StoredSettings& stored);

// A settings field that a step changed is stored, unless the registry was
// told to fail.
std::string checkSettingsStored(const std::uint32_t (&before)[5], bool registryFaultOn);
void currentSettings(std::uint32_t (&fields)[5]);

// After the copy's message loop ended; `closedItself` when it ended through
// its close message rather than with the device.
std::string checkAfterExit(int exitCode, bool closedItself);

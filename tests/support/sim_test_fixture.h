#pragma once
// Every logic test starts from a fresh AppState on a freshly switched-on
// simulated handheld, and ends by checking that nothing was left behind.

#include "core/app_state.h"
#include "platform/sim/sim_handheld.h"

#include <gtest/gtest.h>

#include <cstdint>

class SimTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Checks what TearDown checks, then starts again from a fresh state.
    void startOver() {
        TearDown();
        SetUp();
    }

    // Switches the handheld on again with another processor.
    static void useProcessor(SimProcessorKind kind);

    // The state after start-up: the family recognised and currentCccr in force
    // in the register, with CCLKCFG as given and the frequencies shown reading it.
    static void runningWith(ClockFamily family, std::uint32_t cccr, std::uint32_t cclkcfg);

    // The notification area shows the program's icon, and clock changes redraw
    // it, as after addTrayIcon; nothing is drawn yet.
    static void iconInNotificationArea();

    // Requests to change the icon that the notification area shows.
    static int iconRedraws();

    static std::uint32_t writtenCccr(int position);
    static std::uint32_t writtenCclkcfg(int position);
};

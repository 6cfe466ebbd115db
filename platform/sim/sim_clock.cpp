#include "platform/sim/sim_clock.h"

#include "platform/sim/sim_battery.h"
#include "platform/sim/sim_handheld.h"
#include "platform/system_metrics.h"

namespace {

constexpr std::uint32_t IDLE_COUNTER_NOT_KEPT = 0xFFFFFFFF;
constexpr std::uint32_t SWITCHED_ON_LOAD_PERCENT = 20;
constexpr std::uint32_t SWITCHED_ON_IDLE_MS = 48000; // the handheld has been on a minute

} // namespace

SimClock& simClock = simHandheld.clock;

SimClock simClockSwitchedOn() {
    SimClock clock{};
    clock.loadPercent = SWITCHED_ON_LOAD_PERCENT;
    clock.idleCounterKept = true;
    clock.idleCounter = SWITCHED_ON_IDLE_MS;
    return clock;
}

void simAllowTime(std::uint32_t milliseconds) {
    simClock.runUntil = simClock.now + milliseconds;
}

void simAdvanceClock(std::uint64_t milliseconds) {
    simStepBattery(simClock.now, simClock.now + milliseconds);
    simClock.now += milliseconds;
    const std::uint64_t busy = simClock.loadPercent < 100 ? simClock.loadPercent : 100;
    const std::uint64_t idleShare = milliseconds * (100 - busy) + simClock.idleRemainder;
    simClock.idleCounter += static_cast<std::uint32_t>(idleShare / 100);
    simClock.idleRemainder = static_cast<std::uint32_t>(idleShare % 100);
}

std::uint32_t idleTime() {
    return simClock.idleCounterKept ? simClock.idleCounter : IDLE_COUNTER_NOT_KEPT;
}

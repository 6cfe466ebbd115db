#include "platform/sim/sim_battery.h"

#include "platform/sim/sim_handheld.h"

#include <algorithm>

namespace {

constexpr std::uint64_t MINUTE_MS = 60000;
constexpr std::uint64_t DRIVER_REFRESH_MS = SIM_BATTERY_DRIVER_REFRESH_MS;
constexpr std::uint8_t NO_BATTERY = 128;
constexpr std::uint8_t FULL = 100;
constexpr std::uint8_t ON_BATTERY = 0;
constexpr std::uint8_t ON_MAINS = 1;
constexpr std::int32_t CHARGING_CURRENT_MA = 450;
constexpr std::int32_t DISCHARGING_CURRENT_MA = SIM_SWITCHED_ON_POWER.batteryCurrent;

// The state flags as the battery driver reports them.
constexpr std::uint8_t HIGH = 1;
constexpr std::uint8_t LOW = 2;
constexpr std::uint8_t CRITICAL = 4;
constexpr std::uint8_t CHARGING = 8;
constexpr std::uint8_t LOW_BELOW_PERCENT = 20;
constexpr std::uint8_t CRITICAL_BELOW_PERCENT = 5;

std::uint8_t dischargingState(std::uint8_t percent) {
    if (percent < CRITICAL_BELOW_PERCENT) {
        return CRITICAL;
    }
    return percent < LOW_BELOW_PERCENT ? LOW : HIGH;
}

void discharge(PowerStatus& power, std::uint64_t minutes) {
    power.batteryLifePercent = static_cast<std::uint8_t>(
        power.batteryLifePercent - std::min<std::uint64_t>(minutes, power.batteryLifePercent));
    power.batteryFlag = dischargingState(power.batteryLifePercent);
}

// The flag and current of a battery on external power: charging until full.
void onMains(PowerStatus& power) {
    const bool full = power.batteryLifePercent == FULL;
    power.batteryFlag = full ? HIGH : CHARGING;
    power.batteryCurrent = full ? 0 : CHARGING_CURRENT_MA;
}

void charge(PowerStatus& power, std::uint64_t minutes) {
    const std::uint64_t charged = std::min<std::uint64_t>(FULL, power.batteryLifePercent + minutes);
    power.batteryLifePercent = static_cast<std::uint8_t>(charged);
    onMains(power);
}

bool reported(const PowerStatus& power) {
    return power.batteryFlag != NO_BATTERY && power.batteryLifePercent <= FULL;
}

} // namespace

void simStepBattery(std::uint64_t fromMs, std::uint64_t toMs) {
    const std::uint64_t minutes = toMs / MINUTE_MS - fromMs / MINUTE_MS;
    PowerStatus& power = simHandheld.power;
    if (minutes != 0 && reported(power)) {
        if (power.acLineStatus == ON_BATTERY) {
            discharge(power, minutes);
        } else if (power.acLineStatus == ON_MAINS) {
            charge(power, minutes);
        }
    }
    if (toMs / DRIVER_REFRESH_MS != fromMs / DRIVER_REFRESH_MS) {
        simHandheld.cachedPower = power;
    }
}

void simSetExternalPower(bool plugged) {
    PowerStatus& power = simHandheld.power;
    power.acLineStatus = plugged ? ON_MAINS : ON_BATTERY;
    if (!reported(power)) {
        return;
    }
    if (plugged) {
        onMains(power);
    } else {
        power.batteryFlag = dischargingState(power.batteryLifePercent);
        power.batteryCurrent = DISCHARGING_CURRENT_MA;
    }
}

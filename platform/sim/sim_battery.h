#pragma once
// The simulated handheld's main battery as its time passes: on battery it
// loses one percent a minute at the current the status reports; on external
// power it charges one percent a minute until full. Its state flag follows
// the charge. A battery that is absent (flag 128) or whose charge is not
// reported (above 100) stays as it is.
//
// The battery driver polls the battery every few seconds and hands what it
// read to the system, which keeps it as the cached status that queries
// without a fresh read answer.

#include <cstdint>

inline constexpr std::uint64_t SIM_BATTERY_DRIVER_REFRESH_MS = 5000;

// Steps the battery over the whole minutes between two clock readings (ms),
// and refreshes the system's cached status at each driver poll between them
// (every SIM_BATTERY_DRIVER_REFRESH_MS of the clock).
void simStepBattery(std::uint64_t fromMs, std::uint64_t toMs);

// External power plugged in or pulled. The current changes sign at once, as
// the charger starts or stops: charging at 450 mA until full (then 0),
// discharging at 210 mA; the state flag follows.
void simSetExternalPower(bool plugged);

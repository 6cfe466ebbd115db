#pragma once
// Memory and power status.

#include <cstdint>

struct MemoryStatus {
    std::uint32_t memoryLoad; // percent in use
    std::uint32_t totalPhysical;
    std::uint32_t availablePhysical;
};

MemoryStatus queryMemoryStatus();

// The extended power status of the device (SYSTEM_POWER_STATUS_EX2), with the
// field names it has there.
struct PowerStatus {
    std::uint8_t acLineStatus;
    std::uint8_t batteryFlag;
    std::uint8_t batteryLifePercent; // 255: not known
    std::uint8_t backupBatteryFlag;
    std::uint8_t backupBatteryLifePercent;
    std::uint32_t batteryVoltage;       // mV
    std::int32_t batteryCurrent;        // mA, negative while discharging
    std::uint32_t batteryTemperature;   // tenths of a degree Celsius
    std::uint32_t backupBatteryVoltage; // mV
    std::uint8_t batteryChemistry;
};

// `fresh` asks the battery driver for new values instead of cached ones. A query
// that fails gives an all-zero record.
PowerStatus queryPowerStatus(bool fresh);

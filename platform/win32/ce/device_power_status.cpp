// The handheld's extended power status (built only for the device).

#include "platform/system_status.h"
#include "platform/win32/ce/ce_sdk.h"

PowerStatus queryPowerStatus(bool fresh) {
    SYSTEM_POWER_STATUS_EX2 status{};
    GetSystemPowerStatusEx2(&status, sizeof status, fresh ? TRUE : FALSE);
    PowerStatus power{};
    power.acLineStatus = status.ACLineStatus;
    power.batteryFlag = status.BatteryFlag;
    power.batteryLifePercent = status.BatteryLifePercent;
    power.backupBatteryFlag = status.BackupBatteryFlag;
    power.backupBatteryLifePercent = status.BackupBatteryLifePercent;
    power.batteryVoltage = status.BatteryVoltage;
    power.batteryCurrent = static_cast<std::int32_t>(status.BatteryCurrent);
    power.batteryTemperature = status.BatteryTemperature;
    power.backupBatteryVoltage = status.BackupBatteryVoltage;
    power.batteryChemistry = status.BatteryChemistry;
    return power;
}

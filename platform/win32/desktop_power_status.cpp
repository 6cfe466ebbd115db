// A desktop PC has no extended power status: its plain power status gives the
// power source and the main battery's state and charge; voltage, current,
// temperature, chemistry and the backup battery stay 0 (not reported).

#include "platform/system_status.h"

#include <windows.h>

PowerStatus queryPowerStatus(bool) {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status)) {
        return PowerStatus{};
    }
    PowerStatus power{};
    power.acLineStatus = status.ACLineStatus;
    power.batteryFlag = status.BatteryFlag;
    power.batteryLifePercent = status.BatteryLifePercent;
    return power;
}

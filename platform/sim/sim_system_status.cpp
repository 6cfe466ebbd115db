// The system keeps a copy of the battery driver's figures, which the driver
// refreshes at each of its polls (sim_battery.h): a fresh query reads the
// driver and keeps what it read, any other query gives the copy. A failed
// query gives zeros and keeps the copy as it was.

#include "platform/sim/sim_handheld.h"
#include "platform/system_status.h"

MemoryStatus queryMemoryStatus() {
    return simHandheld.memory;
}

PowerStatus queryPowerStatus(bool fresh) {
    ++simHandheld.powerQueries;
    if (simHandheld.powerQueryFails) {
        return PowerStatus{};
    }
    if (fresh) {
        simHandheld.cachedPower = simHandheld.power;
    }
    return simHandheld.cachedPower;
}

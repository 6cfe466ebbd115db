#include "platform/sim/sim_handheld.h"
#include "platform/system_status.h"

MemoryStatus queryMemoryStatus() {
    return simHandheld.memory;
}

PowerStatus queryPowerStatus(bool) {
    ++simHandheld.powerQueries;
    return simHandheld.powerQueryFails ? PowerStatus{} : simHandheld.power;
}

#include "platform/sim/sim_clock.h"
#include "tests/platform/contract_time.h"

void allowTimeToPass(std::uint32_t milliseconds) {
    simAllowTime(milliseconds);
}

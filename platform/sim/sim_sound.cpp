// Sounds of the simulated handheld are counted instead of played.

#include "platform/clock_hardware.h"
#include "platform/sim/sim_handheld.h"

void errorBeep() {
    ++simHandheld.errorBeeps;
}

// Sounds of the simulated handheld are counted instead of played.

#include "platform/clock_hardware.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sounds.h"

void errorBeep() {
    ++simHandheld.errorBeeps;
}

void informationSound() {
    ++simHandheld.informationSounds;
}

#include "platform/sim/sim_driver.h"

SimDriver simDriver;

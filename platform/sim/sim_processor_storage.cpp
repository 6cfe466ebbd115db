#include "platform/sim/sim_processor.h"

namespace {

// Powered on when the program starts, as the environment chooses.
SimProcessor processor = simPoweredOnProcessor(simProcessorKindFromEnvironment());

} // namespace

SimProcessor& simProcessor = processor;

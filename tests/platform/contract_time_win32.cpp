#include "tests/platform/contract_time.h"

// Real time passes by itself while the test waits for messages.
void allowTimeToPass(std::uint32_t) {}

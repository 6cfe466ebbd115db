#pragma once
// Lets time pass for the contract tests: real time on Windows, the simulated
// handheld's virtual time on the host.

#include <cstdint>

void allowTimeToPass(std::uint32_t milliseconds);

#pragma once
// Counts the heap allocations made through operator new in this test program.

#include <cstddef>

std::size_t heapAllocations();

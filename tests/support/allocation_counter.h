#pragma once
// Counts the heap allocations made through operator new in this test program,
// and the blocks not yet given back through operator delete.

#include <cstddef>

std::size_t heapAllocations();
std::size_t heapBlocksInUse();

#pragma once
// The named mutexes of the simulated handheld, as tests inspect them. Names
// compare exactly, as Windows compares mutex names. A mutex stays until the
// handheld is reset (the program holds its own until it ends); its handle is
// its place in the table plus one. Creating one without a name (no text or an
// empty one) always makes a new unnamed mutex.

#include "platform/single_instance.h"

#include <cstdint>

inline constexpr int SIM_MUTEX_CAPACITY = 8;
inline constexpr int SIM_MUTEX_NAME_CAPACITY = 260; // Windows' longest name, with its terminator

// Why a creation fails, as Windows numbers the errors.
// creationFails is set, or the lock file of a mutex shared across processes
// cannot be made.
inline constexpr std::uint32_t SIM_ERROR_ACCESS_DENIED = 5;
inline constexpr std::uint32_t SIM_ERROR_NOT_ENOUGH_MEMORY = 8;      // the table is full
inline constexpr std::uint32_t SIM_ERROR_FILENAME_EXCED_RANGE = 206; // the name does not fit

struct SimMutex {
    char16_t name[SIM_MUTEX_NAME_CAPACITY]; // empty for an unnamed mutex
    int creations;                          // the first creation and each that opened it again
};

struct SimMutexes {
    SimMutex mutexes[SIM_MUTEX_CAPACITY]; // in the order they were made
    int count;
    bool creationFails; // every creation fails with SIM_ERROR_ACCESS_DENIED
};

// Switched on, the handheld has no mutexes and no fault.
extern SimMutexes& simMutexes; // simHandheld.mutexes

// The mutex of exactly that name; nullptr when there is none.
const SimMutex* simMutexNamed(const char16_t* name);

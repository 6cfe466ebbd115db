#pragma once
// The named mutex by which only one copy of the program runs.

#include <cstdint>

inline constexpr std::uint32_t ERROR_MUTEX_ALREADY_EXISTS = 183;

enum class MutexHandle : std::uintptr_t { None = 0 };

struct NamedMutex {
    MutexHandle handle;      // held until the process ends; None when creation failed
    std::uint32_t lastError; // the thread's last error right after the creation
};

// Creates (or opens, when it exists already) the named mutex, not owned.
NamedMutex createNamedMutex(const char16_t* name);

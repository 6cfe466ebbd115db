#pragma once
// The program's opaque handles carry the Windows handle values themselves.

#include <cstdint>

template <typename Native, typename Handle> Native native(Handle handle) {
    return reinterpret_cast<Native>(static_cast<std::uintptr_t>(handle));
}

template <typename Handle, typename Native> Handle handleOf(Native native) {
    return static_cast<Handle>(reinterpret_cast<std::uintptr_t>(native));
}

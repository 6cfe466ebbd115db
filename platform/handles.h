#pragma once
// Opaque handles of platform objects. The logic only stores and passes them on;
// each platform implementation decides what the number stands for.

#include <cstdint>

enum class ModuleHandle : std::uintptr_t { None = 0 };
enum class WindowHandle : std::uintptr_t { None = 0 };
enum class IconHandle : std::uintptr_t { None = 0 };
enum class BitmapHandle : std::uintptr_t { None = 0 };

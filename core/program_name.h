#pragma once
// The program's name: its single-instance mutex, its window class and title,
// and the caption of its own messages.

inline constexpr const char16_t* PROGRAM_NAME = u"Tavil";

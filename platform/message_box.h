#pragma once
// Message boxes without an owner window, and the program's string table.

#include <cstddef>
#include <cstdint>

// Style words: every box is set-foreground and topmost.
inline constexpr std::uint32_t MB_STYLE_YES_NO_QUESTION = 0x50124;
inline constexpr std::uint32_t MB_STYLE_YES_NO_EXCLAMATION = 0x50134;
inline constexpr std::uint32_t MB_STYLE_OK_STOP = 0x50010;
inline constexpr std::uint32_t MB_STYLE_OK_EXCLAMATION = 0x50030;

inline constexpr int MB_ANSWER_OK = 1;
inline constexpr int MB_ANSWER_YES = 6;
inline constexpr int MB_ANSWER_NO = 7;

// Returns the id of the button that closed the box.
int showMessageBox(const char16_t* text, const char16_t* caption, std::uint32_t style);

// Copies string resource `id` into buffer (at most capacity characters with the
// terminator) and returns its length; an absent string gives an empty text and 0.
std::size_t loadStringResource(unsigned id, char16_t* buffer, std::size_t capacity);

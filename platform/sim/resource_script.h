#pragma once
// The program's resource script, built into the simulated handheld so that it
// shows the same resources as the device.

#include <cstddef>

extern const char RESOURCE_SCRIPT_TEXT[];

// Copies string `id` of the script's STRINGTABLE into buffer as UTF-16, cut to
// fit with its terminator. An absent string gives an empty text. Returns the
// length written.
std::size_t copyScriptString(unsigned id, char16_t* buffer, std::size_t capacity);

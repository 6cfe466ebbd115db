#pragma once
// The preset a command line asks for: "#0".."#9" anywhere in it.

// -1 when the command line names no preset; otherwise the highest digit named.
int parsePresetIndex(const char16_t* commandLine);

#pragma once
// Windows' wide characters are 16-bit UTF-16, so the program's texts pass as they are.

inline const wchar_t* wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

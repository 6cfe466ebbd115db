#include "platform/message_box.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

int showMessageBox(const char16_t* text, const char16_t* caption, std::uint32_t style) {
    return MessageBoxW(nullptr, wide(text), wide(caption), style);
}

std::size_t loadStringResource(unsigned id, char16_t* buffer, std::size_t capacity) {
    if (capacity == 0) {
        return 0; // a zero capacity would ask LoadStringW for a pointer instead of a copy
    }
    buffer[0] = u'\0';
    const int length = LoadStringW(GetModuleHandleW(nullptr), id,
                                   reinterpret_cast<wchar_t*>(buffer), static_cast<int>(capacity));
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}

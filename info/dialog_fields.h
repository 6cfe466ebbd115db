#pragma once
// Writing the value fields of an information dialog.

#include "core/text_format.h"
#include "platform/handles.h"

#include <cstddef>
#include <cstdint>

void setField(WindowHandle dialog, int id, const char16_t* text);

// Formats into the shared text buffer and sets the field's text from it (the
// list by reference, as formatText takes it).
void setFormattedField(WindowHandle dialog, int id, const char16_t* format,
                       const std::initializer_list<FormatArgument>& arguments);

// A code a platform reports and the text the dialogs show for it.
struct CodeText {
    std::uint32_t code;
    const char16_t* text;
};

// The text of `code` in the table, or `otherwise` when the table lacks it.
template <std::size_t Count>
const char16_t* textOfCode(const CodeText (&table)[Count], std::uint32_t code,
                           const char16_t* otherwise = u"") {
    for (const CodeText& row : table) {
        if (row.code == code) {
            return row.text;
        }
    }
    return otherwise;
}

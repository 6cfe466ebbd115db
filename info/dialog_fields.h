#pragma once
// Writing the value fields of an information dialog.

#include "core/text_format.h"
#include "platform/handles.h"

void setField(WindowHandle dialog, int id, const char16_t* text);

// Formats into the shared text buffer and sets the field's text from it.
void setFormattedField(WindowHandle dialog, int id, const char16_t* format,
                       std::initializer_list<FormatArgument> arguments);

#include "info/dialog_fields.h"

#include "core/app_state.h"
#include "platform/dialogs.h"

void setField(WindowHandle dialog, int id, const char16_t* text) {
    setWindowText(dialogItem(dialog, id), text);
}

void setFormattedField(WindowHandle dialog, int id, const char16_t* format,
                       const std::initializer_list<FormatArgument>& arguments) {
    formatText(appState.textBuffer, format, arguments);
    setField(dialog, id, appState.textBuffer);
}

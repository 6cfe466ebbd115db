#include "info/dialog_fields.h"

#include "platform/dialogs.h"
#include "shell/app_state.h"

void setField(WindowHandle dialog, int id, const char16_t* text) {
    setWindowText(dialogItem(dialog, id), text);
}

void setFormattedField(WindowHandle dialog, int id, const char16_t* format,
                       std::initializer_list<FormatArgument> arguments) {
    formatText(appState.textBuffer, format, arguments);
    setField(dialog, id, appState.textBuffer);
}

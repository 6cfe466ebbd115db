#pragma once
// Dialogs of the simulated handheld, made from the DIALOG templates of the
// program's resource script: the dialog is a window of class "#32770" with the
// template's caption, and each control a child window with its id and text.

#include "platform/handles.h"

struct SimDialogs {
    bool creationFails; // every dialog is refused
    int created;        // since the reset
};

extern SimDialogs& simDialogs; // simHandheld.dialogs

// Dialogs open now, of any template.
int simOpenDialogs();

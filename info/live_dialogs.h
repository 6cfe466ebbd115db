#pragma once
// The information dialogs whose fields change by themselves: rewritten on every
// tick of the main window's timer while they are open.

void refreshProcessorDialog();
void refreshPowerDialog();

#include "info/live_dialogs.h"

// The dialogs come with their templates; until then they are never open and
// there is nothing to rewrite.
void refreshProcessorDialog() {}
void refreshPowerDialog() {}

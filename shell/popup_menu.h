#pragma once
// The popup menu: built from menu resource 100 each time it opens, shown at the
// bottom-right corner of the screen, destroyed when it closes.

#include "platform/handles.h"

void showPopupMenu(WindowHandle window);

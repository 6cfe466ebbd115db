#include "platform/clock_hardware.h"

#include <windows.h>

void errorBeep() {
    MessageBeep(MB_ICONHAND);
}

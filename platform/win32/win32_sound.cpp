#include "platform/clock_hardware.h"
#include "platform/sounds.h"

#include <windows.h>

void errorBeep() {
    MessageBeep(MB_ICONHAND);
}

void informationSound() {
    MessageBeep(MB_ICONASTERISK);
}

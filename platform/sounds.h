#pragma once
// The system's sounds (the error sound of the clock operations is declared with
// the clock hardware).

// The information sound (MessageBeep 0x40).
void informationSound();

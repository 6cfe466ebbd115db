#pragma once
// CCCR window reservations not yet released, kept by whichever clock hardware
// the Windows build links: the desktop's or the device's.

int liveCccrWindows();

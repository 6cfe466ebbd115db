#pragma once
// Draws the current reading into the notification icon.

// Redraws the icon for the current icon mode; an unchanged reading draws nothing.
void refreshTrayIcon();

#pragma once
// Keeps the notification icon showing the reading of the current icon mode.

// Shows the application icon in mode Normal; otherwise draws the current
// reading, unless it equals the reading the icon shows already. When the icon
// cannot be made or shown, the notification area keeps the icon it has and
// appState.iconRefreshFailed asks the next tick to try again.
void refreshTrayIcon();

// Makes the next refresh draw even an unchanged reading (after a change of mode
// or colours).
void forceIconRedraw();

// The side of the notification icon in pixels: 16, or 32 where the platform's
// small icons are 32 pixels.
int trayIconSize();

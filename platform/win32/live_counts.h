#pragma once
// Platform objects handed out and not yet released, counted by each Windows
// service (the device's clock hardware keeps its own count of windows).

int liveCccrWindows();
int liveRegistryKeys();
int liveBitmaps();
int liveIcons();
int liveSnapshots();
int liveProcessHandles();
int liveMenus();
int liveSearches();

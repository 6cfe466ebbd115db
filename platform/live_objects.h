#pragma once
// How many platform objects that this layer handed out are still alive. Every
// operation of the program releases what it acquired before it returns, so
// outside an operation each count is back to what it was before (the icon that
// the notification area shows is the one object kept between operations).

struct LiveObjectCounts {
    int cccrWindows;
    int registryKeys;
    int bitmaps;
    int icons;
    int snapshots; // of the running processes
    int processHandles;
    int menus;    // loaded from the resources
    int searches; // of files and of storage cards
};

LiveObjectCounts livePlatformObjects();

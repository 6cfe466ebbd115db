#pragma once
// How many platform objects that this layer handed out are still alive. Every
// operation of the program releases what it acquired before it returns, so
// outside an operation each count is back to what it was before.

struct LiveObjectCounts {
    int cccrWindows;
};

LiveObjectCounts livePlatformObjects();

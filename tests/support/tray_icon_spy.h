#pragma once
// Stands in for the icon renderer: counts redraws and what the clock was then.

#include <cstdint>

struct TrayIconSpy {
    int refreshes;
    std::uint32_t cccrAtLastRefresh;
};

extern TrayIconSpy trayIconSpy;

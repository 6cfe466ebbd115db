#pragma once
// The display-settings record shared by every display-settings call: the fields
// of the device's DEVMODE that the program sets or reads.

#include <cstdint>

struct DisplayModeRecord {
    std::uint32_t size;
    std::uint32_t fields;
    std::uint32_t orientation;
};

#pragma once
// Facts about the operating system: version, code pages, languages, time zone,
// and the processor description of the hardware layer.

#include <cstdint>

struct OsVersion {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t build;
};

OsVersion osVersion();

std::uint32_t oemCodePage();
std::uint32_t ansiCodePage();

// Language identifiers in the low 16 bits (Russian: 0x419).
std::uint32_t defaultLanguageId();
std::uint32_t userInterfaceLanguageId();

// The standard bias of the time zone in minutes: UTC = local time + bias.
std::int32_t timeZoneBias();

// The fields of the hardware layer's processor description that are shown.
struct ProcessorInformation {
    char16_t core[40]; // always terminated; empty when not reported
    char16_t name[40];
    char16_t vendor[100];
    std::uint32_t clockMhz; // 0 when not reported
};

// The hardware layer's processor description; an all-empty record when the
// request fails.
ProcessorInformation queryProcessorInformation();

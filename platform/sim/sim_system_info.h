#pragma once
// The operating-system facts that the simulated handheld reports, as tests set
// them: a Russian Windows Mobile 5.0 device in Moscow with a PXA270 processor
// until a test changes them.

#include "platform/system_info.h"

struct SimSystemInfo {
    OsVersion version;
    std::uint32_t oemCodePage;
    std::uint32_t ansiCodePage;
    std::uint32_t defaultLanguageId;
    std::uint32_t userInterfaceLanguageId;
    std::int32_t timeZoneBias;
    ProcessorInformation processor;
    bool processorQueryFails; // the processor request answers an all-empty record
};

extern SimSystemInfo& simSystemInfo; // simHandheld.systemInfo

// The facts of the device just switched on: Windows CE 5.1 build 14847, code
// pages 866 (OEM) and 1251 (ANSI), Russian (0x419) for both languages, a bias
// of -180 minutes, and an Intel PXA270 at 416 MHz.
SimSystemInfo simSystemInfoSwitchedOn();

// The handheld runs Windows CE major.minor: 5.1 (Windows Mobile 5.0, build
// 14847, as switched on) or 4.21 (Windows Mobile 2003 SE, build 1088). False,
// with nothing changed, for any other version.
bool simRunWindowsCe(std::uint32_t major, std::uint32_t minor);

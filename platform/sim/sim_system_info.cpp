#include "platform/sim/sim_system_info.h"

#include "platform/sim/sim_handheld.h"

namespace {

constexpr OsVersion WINDOWS_MOBILE_5 = {5, 1, 14847};
constexpr OsVersion WINDOWS_MOBILE_2003_SE = {4, 21, 1088};

constexpr SimSystemInfo SWITCHED_ON_FACTS = {
    WINDOWS_MOBILE_5,
    866,
    1251,
    0x419,
    0x419,
    -180, // Moscow: UTC+3
    {u"ARM", u"PXA270", u"Intel Corporation", 416},
    false,
};

} // namespace

SimSystemInfo& simSystemInfo = simHandheld.systemInfo;

SimSystemInfo simSystemInfoSwitchedOn() {
    return SWITCHED_ON_FACTS;
}

bool simRunWindowsCe(std::uint32_t major, std::uint32_t minor) {
    for (const OsVersion& version : {WINDOWS_MOBILE_5, WINDOWS_MOBILE_2003_SE}) {
        if (version.major == major && version.minor == minor) {
            simSystemInfo.version = version;
            return true;
        }
    }
    return false;
}

OsVersion osVersion() {
    return simSystemInfo.version;
}

std::uint32_t oemCodePage() {
    return simSystemInfo.oemCodePage;
}

std::uint32_t ansiCodePage() {
    return simSystemInfo.ansiCodePage;
}

std::uint32_t defaultLanguageId() {
    return simSystemInfo.defaultLanguageId;
}

std::uint32_t userInterfaceLanguageId() {
    return simSystemInfo.userInterfaceLanguageId;
}

std::int32_t timeZoneBias() {
    return simSystemInfo.timeZoneBias;
}

ProcessorInformation queryProcessorInformation() {
    return simSystemInfo.processorQueryFails ? ProcessorInformation{} : simSystemInfo.processor;
}

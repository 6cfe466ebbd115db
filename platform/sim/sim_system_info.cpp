#include "platform/sim/sim_system_info.h"

#include "platform/sim/sim_handheld.h"

namespace {

constexpr SimSystemInfo SWITCHED_ON_FACTS = {
    {5, 1, 14847}, // Windows Mobile 5.0
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

// The operating-system facts that the desktop and the device ask alike; the
// processor description differs (desktop_system_info.cpp, ce/device_system_info.cpp).

#include "platform/system_info.h"

#include <windows.h>

namespace {

// GetTimeZoneInformation's failure, the desktop's TIME_ZONE_ID_INVALID: the
// device's SDK has no name for it, as the device's call does not fail.
constexpr DWORD ZONE_QUERY_FAILED = 0xFFFFFFFF;

} // namespace

OsVersion osVersion() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version)) {
        return OsVersion{};
    }
    return OsVersion{version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber};
}

std::uint32_t oemCodePage() {
    return GetOEMCP();
}

std::uint32_t ansiCodePage() {
    return GetACP();
}

std::uint32_t defaultLanguageId() {
    return GetSystemDefaultLangID();
}

std::uint32_t userInterfaceLanguageId() {
    return GetUserDefaultUILanguage();
}

// The bias is in the record whatever the answer says of daylight saving; a
// failed query gives a bias of 0 (UTC).
std::int32_t timeZoneBias() {
    TIME_ZONE_INFORMATION zone{};
    if (GetTimeZoneInformation(&zone) == ZONE_QUERY_FAILED) {
        return 0;
    }
    return zone.Bias;
}

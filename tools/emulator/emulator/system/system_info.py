"""The system's facts and its kernel services: the hardware layer's I/O
controls (the processor description, the restart), the version, code pages,
languages, time zone, idle counter, last error, the clean-restart
mark and the message beep (counted, not played)."""

import struct

from emulator.api import imported
from emulator.errors import EmulationError
from emulator.system import checks
from emulator.system.checks import ERROR_INSUFFICIENT_BUFFER

IOCTL_HAL_REBOOT = 0x0101003C
IOCTL_PROCESSOR_INFORMATION = 0x01010064
PROCESSOR_INFO_SIZE = 576
PROCESSOR_INFO_VERSION = 1
VERSION_INFO_SIZE = 276
CSD_CAPACITY = 128
TIME_ZONE_SIZE = 172
TIME_ZONE_ID_UNKNOWN = 0
IDLE_COUNTER_NOT_KEPT = 0xFFFFFFFF


def processor_record(info):
    """PROCESSOR_INFO of record version 1; the world knows the core, name,
    vendor and clock, the other fields are left empty."""
    record = struct.pack("<H", PROCESSOR_INFO_VERSION) + checks.fixed_text(info.core, 40)
    record += bytes(2) + checks.fixed_text(info.name, 40)
    record += bytes(2) + checks.fixed_text("", 100) + checks.fixed_text(info.vendor, 100)
    return record + struct.pack("<2xII", 0, info.clock_mhz)


def processor_information(system, lpOutBuf, nOutBufSize, lpBytesReturned):
    if lpOutBuf == 0 or nOutBufSize < PROCESSOR_INFO_SIZE:
        system.last_error = ERROR_INSUFFICIENT_BUFFER
        return 0
    system.mem.write(lpOutBuf, processor_record(system.world.processor_info))
    if lpBytesReturned:
        system.mem.put_u32(lpBytesReturned, PROCESSOR_INFO_SIZE)
    return 1


@imported("coredll.dll", "KernelIoControl")
def kernel_io_control(system, dwIoControlCode, lpInBuf, nInBufSize, lpOutBuf, nOutBufSize, lpBytesReturned):
    if dwIoControlCode == IOCTL_PROCESSOR_INFORMATION:
        return processor_information(system, lpOutBuf, nOutBufSize, lpBytesReturned)
    if dwIoControlCode == IOCTL_HAL_REBOOT:
        system.restart(full_reset=system.world.next_restart_clean)
        return 1
    raise EmulationError(f"KernelIoControl: the I/O control 0x{dwIoControlCode:08X} is not modelled")


@imported("coredll.dll", "SetCleanRebootFlag")
def set_clean_reboot_flag(system):
    """The next restart returns the handheld to its factory state."""
    system.world.next_restart_clean = True


@imported("coredll.dll", "GetVersionExW")
def get_version_ex(system, lpVersionInformation):
    function = "GetVersionExW"
    checks.not_null(function, "lpVersionInformation", lpVersionInformation)
    size = system.mem.u32(lpVersionInformation)
    checks.record_size(function, "lpVersionInformation->dwOSVersionInfoSize", size, VERSION_INFO_SIZE)
    version = system.world.version
    system.mem.write(
        lpVersionInformation + 4, struct.pack("<4I", version.major, version.minor, version.build, version.platform)
    )
    system.mem.write(lpVersionInformation + 20, checks.fixed_text(version.csd, CSD_CAPACITY))
    return 1


@imported("coredll.dll", "GetACP")
def get_acp(system):
    return system.world.locale.ansi_cp


@imported("coredll.dll", "GetOEMCP")
def get_oemcp(system):
    return system.world.locale.oem_cp


@imported("coredll.dll", "GetSystemDefaultLangID")
def get_system_default_lang_id(system):
    return system.world.locale.default_lang & 0xFFFF


@imported("coredll.dll", "GetUserDefaultUILanguage")
def get_user_default_ui_language(system):
    return system.world.locale.ui_lang & 0xFFFF


@imported("coredll.dll", "GetTimeZoneInformation")
def get_time_zone_information(system, lpTimeZoneInformation):
    """The world knows the bias alone: no names, no daylight saving."""
    checks.not_null("GetTimeZoneInformation", "lpTimeZoneInformation", lpTimeZoneInformation)
    record = struct.pack("<i", system.world.locale.bias) + bytes(TIME_ZONE_SIZE - 4)
    system.mem.write(lpTimeZoneInformation, record)
    return TIME_ZONE_ID_UNKNOWN


@imported("coredll.dll", "GetIdleTime")
def get_idle_time(system):
    clock = system.world.clock
    return clock.idle_counter if clock.idle_kept else IDLE_COUNTER_NOT_KEPT


@imported("coredll.dll", "GetLastError")
def get_last_error(system):
    return system.last_error


@imported("coredll.dll", "MessageBeep")
def message_beep(system, uType):
    system.world.beeps[uType] += 1
    return 1

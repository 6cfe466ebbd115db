"""The power and memory status. The system keeps a copy of the battery
driver's figures, which the driver refreshes at each of its polls: a query
with fUpdate reads the driver and keeps what it read, any other query gives
the copy (platform/sim/sim_system_status.cpp)."""

import copy
import struct

from emulator.api import imported
from emulator.system import checks

POWER_STATUS_SIZE = 56
MEMORY_STATUS_SIZE = 32
BATTERY_LIFE_UNKNOWN = 0xFFFFFFFF


def power_record(power):
    return struct.pack(
        "<BBBBIIBBBBIIIiIIIIIB3x",
        power.ac_line_status,
        power.battery_flag,
        power.battery_life_percent,
        0,
        BATTERY_LIFE_UNKNOWN,
        BATTERY_LIFE_UNKNOWN,
        0,
        power.backup_battery_flag,
        power.backup_battery_life_percent,
        0,
        BATTERY_LIFE_UNKNOWN,
        BATTERY_LIFE_UNKNOWN,
        power.battery_voltage,
        power.battery_current,
        0,
        0,
        0,
        power.battery_temperature,
        power.backup_battery_voltage,
        power.battery_chemistry,
    )


@imported("coredll.dll", "GetSystemPowerStatusEx2")
def get_system_power_status_ex2(system, pSystemPowerStatusEx2, dwLen, fUpdate):
    """The bytes written; the program passes the whole record."""
    function = "GetSystemPowerStatusEx2"
    checks.not_null(function, "pSystemPowerStatusEx2", pSystemPowerStatusEx2)
    checks.record_size(function, "dwLen", dwLen, POWER_STATUS_SIZE)
    world = system.world
    if fUpdate:
        world.cached_power = copy.copy(world.power)
    system.mem.write(pSystemPowerStatusEx2, power_record(world.cached_power))
    return POWER_STATUS_SIZE


@imported("coredll.dll", "GlobalMemoryStatus")
def global_memory_status(system, lpBuffer):
    """The world knows the load and the physical memory; the page file and the
    process's virtual space are given as none."""
    function = "GlobalMemoryStatus"
    checks.not_null(function, "lpBuffer", lpBuffer)
    checks.record_size(function, "lpBuffer->dwLength", system.mem.u32(lpBuffer), MEMORY_STATUS_SIZE)
    memory = system.world.memory
    system.mem.write(lpBuffer, struct.pack("<8I", MEMORY_STATUS_SIZE, memory.load, memory.total, memory.free, 0, 0, 0, 0))

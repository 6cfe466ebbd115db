"""The C run-time functions that coredll exports. Copies whose source and
destination overlap are errors where the C standard leaves them undefined
(memcpy, wcscpy, wcscat, wcsncpy); memmove takes them. The heap lives in the
process's system arena; free takes only what malloc gave and did not take
back yet (NULL is allowed)."""

import struct
import weakref

from emulator.api import imported
from emulator.errors import ApiMisuse
from emulator.system import checks

HEAPS = weakref.WeakKeyDictionary()  # machine -> {address: size} of the live blocks
HEAP_ALIGN = 8


def overlapping(first, first_size, second, second_size):
    return first < second + second_size and second < first + first_size


def no_overlap(function, dest, src, size):
    if size and overlapping(dest, size, src, size):
        raise ApiMisuse(f"{function}: the {size} bytes at 0x{dest:08X} and 0x{src:08X} overlap")


def compared(first, second):
    """memcmp's and wcscmp's answer: below, at or above 0, as a 32-bit word."""
    return ((first > second) - (first < second)) & 0xFFFFFFFF


def wide(system, function, argument, pointer):
    return checks.text(system, function, argument, pointer)


@imported("coredll.dll", "memcpy")
def memcpy(system, dest, src, count):
    no_overlap("memcpy", dest, src, count)
    system.mem.write(dest, system.mem.read(src, count))
    return dest


@imported("coredll.dll", "memmove")
def memmove(system, dest, src, count):
    system.mem.write(dest, system.mem.read(src, count))
    return dest


@imported("coredll.dll", "memset")
def memset(system, dest, c, count):
    system.mem.write(dest, bytes([c & 0xFF]) * count)
    return dest


@imported("coredll.dll", "memcmp")
def memcmp(system, buf1, buf2, count):
    first, second = system.mem.read(buf1, count), system.mem.read(buf2, count)
    return compared(first, second)


@imported("coredll.dll", "wcslen")
def wcslen(system, string):
    return len(wide(system, "wcslen", "string", string).encode("utf-16-le")) // 2


@imported("coredll.dll", "wcscmp")
def wcscmp(system, string1, string2):
    """By 16-bit units, as unsigned numbers."""
    first = wide(system, "wcscmp", "string1", string1).encode("utf-16-be")
    second = wide(system, "wcscmp", "string2", string2).encode("utf-16-be")
    return compared(first, second)


def copy_units(system, function, dest, src, units):
    """units: UTF-16 bytes with their terminator."""
    no_overlap(function, dest, src, len(units))
    system.mem.write(dest, units)


@imported("coredll.dll", "wcscpy")
def wcscpy(system, strDestination, strSource):
    units = (wide(system, "wcscpy", "strSource", strSource) + "\0").encode("utf-16-le")
    checks.not_null("wcscpy", "strDestination", strDestination)
    copy_units(system, "wcscpy", strDestination, strSource, units)
    return strDestination


@imported("coredll.dll", "wcscat")
def wcscat(system, strDestination, strSource):
    end = strDestination + 2 * wcslen(system, strDestination)
    units = (wide(system, "wcscat", "strSource", strSource) + "\0").encode("utf-16-le")
    copy_units(system, "wcscat", end, strSource, units)
    return strDestination


@imported("coredll.dll", "wcsncpy")
def wcsncpy(system, strDest, strSource, count):
    """count characters: the source's up to its terminator, then zeros; no
    terminator when the source has count characters or more."""
    checks.not_null("wcsncpy", "strSource", strSource)
    units = []
    while len(units) < count:
        unit = system.mem.u16(strSource + 2 * len(units))
        if unit == 0:
            break
        units.append(unit)
    source_bytes = 2 * min(len(units) + 1, count)
    if count and overlapping(strDest, 2 * count, strSource, source_bytes):
        raise ApiMisuse(f"wcsncpy: the strings at 0x{strDest:08X} and 0x{strSource:08X} overlap")
    system.mem.write(strDest, struct.pack(f"<{count}H", *(units + [0] * (count - len(units)))))
    return strDest


@imported("coredll.dll", "malloc")
def malloc(system, size):
    address = system.arena.allocate(max(size, 1), HEAP_ALIGN)
    HEAPS.setdefault(system.machine, {})[address] = size
    return address


@imported("coredll.dll", "free")
def free(system, memblock):
    if memblock == 0:
        return
    if memblock not in HEAPS.get(system.machine, {}):
        raise ApiMisuse(f"free: memblock 0x{memblock:08X} is not a block that malloc gave out and is still live")
    del HEAPS[system.machine][memblock]

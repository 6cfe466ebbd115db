"""The emulated process's memory, as the imported functions see it.

Every access checks that the whole range is mapped, so a pointer the program
passes wrongly ends the run with the function that got it, not with junk."""

import struct

from emulator.errors import ApiMisuse

PAGE = 0x1000


def page_round(size):
    return (size + PAGE - 1) & ~(PAGE - 1)


class Memory:
    def __init__(self, uc):
        self.uc = uc

    def mapped(self, address, size):
        end = address + size
        for begin, last, _ in self.uc.mem_regions():
            if begin <= address <= last:
                if end - 1 <= last:
                    return True
                address = last + 1
        return size == 0

    def read(self, address, size):
        if not self.mapped(address, size):
            raise ApiMisuse(f"{size} bytes at 0x{address:08X} are not mapped")
        return bytes(self.uc.mem_read(address, size))

    def write(self, address, data):
        if not self.mapped(address, len(data)):
            raise ApiMisuse(f"{len(data)} bytes at 0x{address:08X} are not mapped")
        self.uc.mem_write(address, bytes(data))

    def u16(self, address):
        return struct.unpack("<H", self.read(address, 2))[0]

    def u32(self, address):
        return struct.unpack("<I", self.read(address, 4))[0]

    def i32(self, address):
        return struct.unpack("<i", self.read(address, 4))[0]

    def put_u16(self, address, value):
        self.write(address, struct.pack("<H", value & 0xFFFF))

    def put_u32(self, address, value):
        self.write(address, struct.pack("<I", value & 0xFFFFFFFF))

    def wstr(self, address, limit=32768):
        """The NUL-terminated UTF-16 string at address (at most limit characters
        before its terminator)."""
        if address == 0:
            raise ApiMisuse("a string pointer is NULL")
        units = []
        for index in range(limit + 1):
            unit = self.u16(address + 2 * index)
            if unit == 0:
                return struct.pack(f"<{len(units)}H", *units).decode("utf-16-le", "surrogatepass")
            units.append(unit)
        raise ApiMisuse(f"the string at 0x{address:08X} has no terminator within {limit} characters")

    def wstr_or_none(self, address, limit=32768):
        return None if address == 0 else self.wstr(address, limit)

    def put_wstr(self, address, text, capacity):
        """Writes text and its terminator into a buffer of capacity characters,
        cut to fit as the SDK's string functions cut; returns the characters
        written without the terminator."""
        if capacity <= 0:
            return 0
        data = text.encode("utf-16-le")[: 2 * (capacity - 1)]
        self.write(address, data + b"\0\0")
        return len(data) // 2


class Arena:
    """System-owned memory inside the emulated process (strings and records the
    system hands out), mapped on first use and never reused."""

    def __init__(self, uc, base, size):
        uc.mem_map(base, size)
        self.next = base
        self.end = base + size

    def allocate(self, size, align=4):
        address = (self.next + align - 1) & ~(align - 1)
        if address + size > self.end:
            raise ApiMisuse("the system's own memory in the harness ran out")
        self.next = address + size
        return address

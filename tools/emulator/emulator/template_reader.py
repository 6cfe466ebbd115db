"""Reading a resource template (menu, dialog) field by field, from the
process's memory or from bytes, with the template's alignment rules."""

import struct

from emulator.errors import EmulationError

ORDINAL_MARK = 0xFFFF


def bytes_source(data, what):
    """A read(address, size) over data, addresses being offsets into it."""

    def read(address, size):
        if address + size > len(data):
            raise EmulationError(f"{what} ends before its last field")
        return data[address : address + size]

    return read


class TemplateReader:
    def __init__(self, read, address):
        self.read = read
        self.address = address

    def take(self, size):
        data = self.read(self.address, size)
        self.address += size
        return data

    def u16(self):
        return struct.unpack("<H", self.take(2))[0]

    def i16(self):
        return struct.unpack("<h", self.take(2))[0]

    def u32(self):
        return struct.unpack("<I", self.take(4))[0]

    def text(self):
        """A NUL-terminated UTF-16 string."""
        units = []
        while (unit := self.u16()) != 0:
            units.append(unit)
        return struct.pack(f"<{len(units)}H", *units).decode("utf-16-le", "surrogatepass")

    def text_or_ordinal(self):
        """A string, or the int that follows 0xFFFF ("" for an empty array)."""
        if self.u16() == ORDINAL_MARK:
            return self.u16()
        self.address -= 2
        return self.text()

    def align(self, boundary):
        self.address = (self.address + boundary - 1) & ~(boundary - 1)

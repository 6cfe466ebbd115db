"""Resources: a .res file that windres makes comes back from the image
through pefile, type -> name -> language, bytes and all, in the order
Windows searches: string names first, case-insensitively ascending, then
numbers ascending."""

import struct
import subprocess
import unittest

from support import VARIED_RDATA, Workspace, function

RESOURCE_SCRIPT = """
LANGUAGE 0x09, 0x01
HI_RES_AWARE CEUX { 1 }
2 RCDATA { "abc" }
zeta RCDATA { 0x1234 }
LANGUAGE 0x07, 0x01
2 RCDATA { "german" }
"""
RT_RCDATA = 10
# The .res file's first entry: no data, a 32-byte header, type 0 and name 0.
EMPTY_ENTRY = struct.pack("<IIHHHHIHHII", 0, 32, 0xFFFF, 0, 0xFFFF, 0, 0, 0, 0, 0, 0)


def res_entry(kind, name, language, data):
    """A RESOURCEHEADER and its data, as the Win32 .res format lays them out."""
    def name_field(value):
        if isinstance(value, int):
            return struct.pack("<HH", 0xFFFF, value)
        return value.encode("utf-16-le") + b"\0\0"

    names = name_field(kind) + name_field(name)
    names += bytes(-len(names) % 4)
    header = names + struct.pack("<IHHII", 0, 0x30, language, 0, 0)
    entry = struct.pack("<II", len(data), 8 + len(header)) + header + data
    return entry + bytes(-len(entry) % 4)


def tree(image):
    """[(type, [(name, [(language, data)])])] in the image's order."""
    def key(entry):
        return str(entry.name) if entry.name is not None else entry.id

    result = []
    for kind in image.DIRECTORY_ENTRY_RESOURCE.entries:
        names = []
        for name in kind.directory.entries:
            languages = [(language.id, image.get_data(language.data.struct.OffsetToData, language.data.struct.Size))
                         for language in name.directory.entries]
            names.append((key(name), languages))
        result.append((key(kind), names))
    return result


class ResourceTest(Workspace):
    def link_with(self, res):
        program = self.assemble(function("start", "\tmov pc, lr") + VARIED_RDATA)
        return self.parse(self.link_ok([program], extra=("--resources", res)))

    def test_windres_resources_come_back_in_search_order(self):
        with open(self.path("r.rc"), "w", encoding="utf-8") as stream:
            stream.write(RESOURCE_SCRIPT)
        subprocess.run(["x86_64-w64-mingw32-windres", "-O", "res", self.path("r.rc"), self.path("r.res")], check=True)
        image = self.link_with(self.path("r.res"))
        self.assertEqual(tree(image), [
            ("CEUX", [("HI_RES_AWARE", [(0x409, b"\x01\x00")])]),
            (RT_RCDATA, [("ZETA", [(0x409, b"\x34\x12")]), (2, [(0x407, b"german"), (0x409, b"abc")])]),
        ])
        for kind in image.DIRECTORY_ENTRY_RESOURCE.entries:
            for name in kind.directory.entries:
                for language in name.directory.entries:
                    self.assertEqual(language.data.struct.OffsetToData % 4, 0)

    def test_names_sort_without_regard_to_case_and_numbers_come_after(self):
        entries = [res_entry("beta", 5, 0x409, b"b"), res_entry(7, 9, 0x409, b"n9"), res_entry(7, 3, 0x409, b"n3"),
                   res_entry("ALPHA", "x", 0x409, b"a"), res_entry("Gamma", 1, 0x409, b"g")]
        with open(self.path("hand.res"), "wb") as stream:
            stream.write(EMPTY_ENTRY + b"".join(entries))
        image = self.link_with(self.path("hand.res"))
        self.assertEqual([kind for kind, _ in tree(image)], ["ALPHA", "beta", "Gamma", 7])
        self.assertEqual([name for name, _ in tree(image)[3][1]], [3, 9])

    def test_names_that_differ_only_in_case_are_refused(self):
        entries = [EMPTY_ENTRY, res_entry("Icon", 1, 0x409, b"1"), res_entry("ICON", 2, 0x409, b"2")]
        with open(self.path("clash.res"), "wb") as stream:
            stream.write(b"".join(entries))
        program = self.assemble(function("start", "\tmov pc, lr"))
        self.link_fails([program], "resource names 'Icon' and 'ICON' differ only in case",
                        extra=("--resources", self.path("clash.res")))


if __name__ == "__main__":
    unittest.main()

import struct
import unittest

from emulator.errors import ApiMisuse
from emulator.system.registry import (
    reg_close_key,
    reg_create_key_ex,
    reg_enum_key_ex,
    reg_open_key_ex,
    reg_query_info_key,
    reg_query_value_ex,
    reg_set_value_ex,
)
from tests.bare_process import bare_system
from tests.switched_on import switched_on_world

HKLM = 0x80000002
READ, WRITE = 0x20019, 0x20006  # the program's read and write access
# winerror.h
SUCCESS, FILE_NOT_FOUND, INVALID_HANDLE, MORE_DATA, NO_MORE_ITEMS = 0, 2, 6, 234, 259


class Registry(unittest.TestCase):
    def setUp(self):
        self.system, self.machine = bare_system(switched_on_world())
        self.mem = self.system.mem

    def open(self, path, access=READ):
        result = self.machine.buffer(4)
        self.assertEqual(reg_open_key_ex(self.system, HKLM, self.machine.put_wstr(path), 0, access, result), SUCCESS)
        return self.mem.u32(result)

    def query(self, key, name, room):
        kind, data, size = self.machine.buffer(4), self.machine.buffer(16), self.machine.put(struct.pack("<I", room))
        result = reg_query_value_ex(self.system, key, self.machine.put_wstr(name), 0, kind, data, size)
        return result, self.mem.u32(size), self.mem.read(data, 4)

    def test_keys_and_values_compare_without_case_and_sizes_are_in_bytes(self):
        key = self.open("DRIVERS\\display\\Gpe")
        cases = [
            # name, room, result, size written, data
            ("logicalpixelsX", 4, SUCCESS, 4, bytes([192, 0, 0, 0])),
            ("LogicalPixelsX", 16, SUCCESS, 4, bytes([192, 0, 0, 0])),
            ("LogicalPixelsX", 3, MORE_DATA, 4, bytes(4)),
            ("LogicalPixelsY", 4, FILE_NOT_FOUND, 4, bytes(4)),
        ]
        for name, room, result, size, data in cases:
            with self.subTest(name=name, room=room):
                self.assertEqual(self.query(key, name, room), (result, size, data))

    def test_a_missing_key_is_not_found_and_a_null_key_is_an_invalid_handle(self):
        result = self.machine.buffer(4)
        self.mem.put_u32(result, 0xDEAD)
        self.assertEqual(reg_open_key_ex(self.system, HKLM, self.machine.put_wstr("SOFTWARE\\None"), 0, READ, result), FILE_NOT_FOUND)
        self.assertEqual(self.mem.u32(result), 0)
        self.assertEqual(self.query(0, "Instl", 4)[0], INVALID_HANDLE)
        self.assertEqual(reg_close_key(self.system, 0), INVALID_HANDLE)

    def test_a_created_key_takes_values_and_is_listed_in_folded_order(self):
        result, disposition = self.machine.buffer(4), self.machine.buffer(4)
        path = self.machine.put_wstr("SOFTWARE\\Apps\\gamma\\Sub")
        self.assertEqual(reg_create_key_ex(self.system, HKLM, path, 0, 0, 0, WRITE, 0, result, disposition), SUCCESS)
        self.assertEqual(self.mem.u32(disposition), 1)  # REG_CREATED_NEW_KEY
        written = self.mem.u32(result)
        value = self.machine.put(struct.pack("<I", 7))
        self.assertEqual(reg_set_value_ex(self.system, written, self.machine.put_wstr("Mode"), 0, 4, value, 4), SUCCESS)
        self.assertEqual(reg_close_key(self.system, written), SUCCESS)
        self.assertEqual(self.query(self.open("software\\apps\\GAMMA\\sub"), "MODE", 4), (SUCCESS, 4, struct.pack("<I", 7)))

        apps = self.open("SOFTWARE\\Apps")
        count = self.machine.buffer(4)
        self.assertEqual(reg_query_info_key(self.system, apps, 0, 0, 0, count, 0, 0, 0, 0, 0, 0, 0), SUCCESS)
        self.assertEqual(self.mem.u32(count), 4)
        names = []
        name, room = self.machine.buffer(2 * 256), self.machine.buffer(4)
        for index in range(5):
            self.mem.put_u32(room, 256)
            result = reg_enum_key_ex(self.system, apps, index, name, room, 0, 0, 0, 0)
            names.append(self.mem.wstr(name) if result == SUCCESS else result)
        self.assertEqual(names, ["alpha", "Beta", "gamma", "Zeta", NO_MORE_ITEMS])

    def test_a_name_that_does_not_fit_is_more_data(self):
        apps = self.open("SOFTWARE\\Apps")
        name, room = self.machine.buffer(16), self.machine.buffer(4)
        cases = [(5, MORE_DATA), (6, SUCCESS)]  # "alpha" needs 6 with its terminator
        for capacity, result in cases:
            with self.subTest(capacity=capacity):
                self.mem.put_u32(room, capacity)
                self.assertEqual(reg_enum_key_ex(self.system, apps, 0, name, room, 0, 0, 0, 0), result)
        self.assertEqual(self.mem.u32(room), 5)

    def test_misuse_stops_the_run_naming_the_argument(self):
        closed = self.open("SOFTWARE\\Apps")
        reg_close_key(self.system, closed)
        written = self.open("SOFTWARE\\Apps", WRITE)
        key = self.open("SOFTWARE\\Apps")
        two = self.machine.put(bytes(2))
        cases = [
            ("hKey", lambda: self.query(closed, "x", 4)),
            ("hKey", lambda: reg_close_key(self.system, closed)),
            ("KEY_QUERY_VALUE", lambda: self.query(written, "x", 4)),
            ("KEY_SET_VALUE", lambda: reg_set_value_ex(self.system, key, self.machine.put_wstr("x"), 0, 4, two, 4)),
            ("cbData", lambda: reg_set_value_ex(self.system, written, self.machine.put_wstr("x"), 0, 4, two, 2)),
            ("ulOptions", lambda: reg_open_key_ex(self.system, HKLM, self.machine.put_wstr("SOFTWARE"), 1, 0, two)),
            ("phkResult", lambda: reg_open_key_ex(self.system, HKLM, self.machine.put_wstr("SOFTWARE"), 0, 0, 0)),
            ("lpcbData", lambda: reg_query_value_ex(self.system, key, 0, 0, 0, two, 0)),
            ("lpcchName", lambda: reg_enum_key_ex(self.system, key, 0, two, 0, 0, 0, 0, 0)),
            ("lpcchClass", lambda: reg_enum_key_ex(self.system, key, 0, two, two, 0, two, 0, 0)),
        ]
        for argument, call in cases:
            with self.subTest(argument=argument):
                with self.assertRaisesRegex(ApiMisuse, argument):
                    call()


if __name__ == "__main__":
    unittest.main()

import struct
import unittest

from emulator.errors import ApiMisuse
from emulator.system import crt, display, files, mutex, power_memory, processes, storage, system_info
from tests.bare_process import bare_system
from tests.switched_on import switched_on_world

INVALID_HANDLE_VALUE = 0xFFFFFFFF
NO_MORE_FILES, ALREADY_EXISTS = 18, 183


class Calls(unittest.TestCase):
    def setUp(self):
        self.system, self.machine = bare_system(switched_on_world())
        self.mem = self.system.mem
        self.world = self.system.world

    def entry(self, size=564):
        return self.machine.put(struct.pack("<I", size) + bytes(560))


class Processes(Calls):
    def walk(self):
        snapshot = processes.create_toolhelp32_snapshot(self.system, 2, 0)
        entry, names = self.entry(), []
        more = processes.process32_first(self.system, snapshot, entry)
        while more:
            pid, threads = struct.unpack_from("<I8xI", self.mem.read(entry + 8, 16))
            names.append((self.mem.wstr(entry + 36), pid, threads))
            self.mem.put_u32(entry, 564)
            more = processes.process32_next(self.system, snapshot, entry)
        self.assertEqual(self.system.last_error, NO_MORE_FILES)
        processes.close_toolhelp32_snapshot(self.system, snapshot)
        return names

    def test_a_snapshot_lists_the_processes_in_order(self):
        self.assertEqual(
            self.walk(), [("nk.exe", 0x03FE3002, 7), ("filesys.exe", 0x23F58CBA, 12), ("Tavil.exe", 0x0396B2A6, 1)]
        )

    def test_a_snapshot_keeps_the_processes_it_was_taken_with(self):
        snapshot = processes.create_toolhelp32_snapshot(self.system, 2, 0)
        self.world.start_process("calc.exe")
        entry, count = self.entry(), 0
        more = processes.process32_first(self.system, snapshot, entry)
        while more:
            count += 1
            more = processes.process32_next(self.system, snapshot, entry)
        self.assertEqual(count, 3)

    def test_the_first_process_starts_the_walk_again(self):
        snapshot = processes.create_toolhelp32_snapshot(self.system, 2, 0)
        entry = self.entry()
        processes.process32_first(self.system, snapshot, entry)
        processes.process32_next(self.system, snapshot, entry)
        processes.process32_first(self.system, snapshot, entry)
        self.assertEqual(self.mem.wstr(entry + 36), "nk.exe")

    def test_ending_processes_as_the_simulated_handheld_allows(self):
        cases = [(0x03FE3002, 0), (0x0396B2A6, 1)]  # the kernel refuses, Tavil.exe ends
        for pid, ended in cases:
            with self.subTest(pid=pid):
                handle = processes.open_process(self.system, 0, 0, pid)
                self.assertEqual(processes.terminate_process(self.system, handle, 0), ended)
                self.assertEqual(processes.terminate_process(self.system, handle, 0), 0)
                self.assertEqual(processes.close_handle(self.system, handle), 1)
        self.assertEqual([name for name, _, _ in self.walk()], ["nk.exe", "filesys.exe"])
        self.assertEqual(processes.open_process(self.system, 0, 0, 0x0396B2A6), 0)

    def test_only_installed_programs_start_and_a_running_one_is_not_started_again(self):
        image, line = self.machine.put_wstr("peghelp.exe"), self.machine.put_wstr("file:tavil.htm#Main_Contents")
        for _ in range(2):
            self.assertEqual(processes.create_process(self.system, image, line, 0, 0, 0, 0, 0, 0, 0, 0), 1)
        self.assertEqual([p.name for p in self.world.processes].count("peghelp.exe"), 1)
        other = self.machine.put_wstr("PEGHELP.EXE")
        self.assertEqual(processes.create_process(self.system, other, line, 0, 0, 0, 0, 0, 0, 0, 0), 0)

    def test_misuse(self):
        snapshot = processes.create_toolhelp32_snapshot(self.system, 2, 0)
        closed = processes.create_toolhelp32_snapshot(self.system, 2, 0)
        processes.close_toolhelp32_snapshot(self.system, closed)
        image = self.machine.put_wstr("peghelp.exe")
        cases = [
            ("dwSize", lambda: processes.process32_first(self.system, snapshot, self.entry(556))),
            ("dwSize", lambda: processes.process32_next(self.system, snapshot, self.entry(0))),
            ("hSnapshot", lambda: processes.process32_first(self.system, closed, self.entry())),
            ("hSnapshot", lambda: processes.close_toolhelp32_snapshot(self.system, closed)),
            ("CloseHandle", lambda: processes.close_handle(self.system, snapshot)),
            ("hProcess", lambda: processes.terminate_process(self.system, snapshot, 0)),
            ("psiStartInfo", lambda: processes.create_process(self.system, image, 0, 0, 0, 0, 0, 0, 0, 4, 0)),
        ]
        for argument, call in cases:
            with self.subTest(argument=argument):
                with self.assertRaisesRegex(ApiMisuse, argument):
                    call()


class Files(Calls):
    def matches(self, pattern):
        found = self.machine.buffer(560)
        search = files.find_first_file(self.system, self.machine.put_wstr(pattern), found)
        if search == INVALID_HANDLE_VALUE:
            return []
        names = [self.mem.wstr(found + 40)]
        while files.find_next_file(self.system, search, found):
            names.append(self.mem.wstr(found + 40))
        files.find_close(self.system, search)
        return sorted(names)

    def test_patterns_match_as_on_the_simulated_handheld(self):
        # sim_storage.h: * any run, ? one, a final ".*" also matches a name without it
        cases = [
            ("\\Windows\\Fonts\\*.*", ["README", "tahoma.ttf"]),
            ("\\Windows\\Fonts\\*.ttf", ["tahoma.ttf"]),
            ("\\windows\\fonts\\TAHOMA.TTF", ["tahoma.ttf"]),
            ("\\Windows\\Fonts\\t?homa.*", ["tahoma.ttf"]),
            ("\\Windows\\Fonts\\t?oma.*", []),
            ("\\Windows\\*.ttf", ["tahoma.ttf"]),
            ("\\Windows\\Fonts\\*a*a*", ["tahoma.ttf"]),
            ("\\Windows\\StartUp\\*.lnk", ["Tavil.lnk"]),
            ("\\Windows\\Start?p\\*.lnk", []),
            ("\\*", []),
        ]
        for pattern, names in cases:
            with self.subTest(pattern=pattern):
                self.assertEqual(self.matches(pattern), names)

    def test_shortcuts_are_made_and_files_deleted(self):
        path = self.machine.put_wstr("\\Windows\\StartUp\\Tavil.lnk")
        self.assertEqual(files.delete_file(self.system, path), 1)
        self.assertEqual(files.delete_file(self.system, path), 0)
        self.assertEqual(self.matches("\\Windows\\StartUp\\*"), [])
        target = self.machine.put_wstr("\\Windows\\Tavil.exe")
        self.assertEqual(files.sh_create_shortcut(self.system, path, target), 1)
        self.assertEqual(self.world.files[-1].target, "\\Windows\\Tavil.exe")
        self.assertEqual(files.sh_create_shortcut(self.system, self.machine.put_wstr("Tavil.lnk"), target), 0)

    def test_special_folders(self):
        buffer = self.machine.buffer(520)
        self.assertEqual(files.sh_get_special_folder_path(self.system, 0, buffer, 7, 1), 1)
        self.assertEqual(self.mem.wstr(buffer), "\\Windows\\StartUp")
        self.assertEqual(files.sh_get_special_folder_path(self.system, 0, buffer, 20, 1), 0)

    def test_a_closed_search_is_misuse(self):
        found = self.machine.buffer(560)
        search = files.find_first_file(self.system, self.machine.put_wstr("\\Windows\\*.*"), found)
        files.find_close(self.system, search)
        with self.assertRaisesRegex(ApiMisuse, "hFindFile"):
            files.find_next_file(self.system, search, found)

    def test_storage_cards_and_the_store(self):
        self.world.cards.append("SD Card")
        found = self.machine.buffer(560)
        search = storage.find_first_flash_card(self.system, found)
        names = [self.mem.wstr(found + 40)]
        while storage.find_next_flash_card(self.system, search, found):
            names.append(self.mem.wstr(found + 40))
        self.assertEqual(files.find_close(self.system, search), 1)
        self.assertEqual(names, ["Storage Card", "SD Card"])
        self.world.cards.clear()
        self.assertEqual(storage.find_first_flash_card(self.system, found), INVALID_HANDLE_VALUE)
        record = self.machine.buffer(8)
        self.assertEqual(storage.get_store_information(self.system, record), 1)
        self.assertEqual(struct.unpack("<II", self.mem.read(record, 8)), (32 << 20, 21 << 20))


class PowerAndMemory(Calls):
    def power(self, update, size=56):
        record = self.machine.buffer(56)
        self.assertEqual(power_memory.get_system_power_status_ex2(self.system, record, size, update), 56)
        data = self.mem.read(record, 56)
        return data[0], data[1], data[2], struct.unpack_from("<i", data, 28)[0]

    def test_a_fresh_query_reads_the_driver_and_keeps_it(self):
        self.world.set_external_power(True)
        self.assertEqual(self.power(0), (0, 1, 87, -210))
        self.assertEqual(self.power(1), (1, 8, 87, 450))
        self.world.set_external_power(False)
        self.assertEqual(self.power(0), (1, 8, 87, 450))

    def test_memory(self):
        record = self.machine.put(struct.pack("<I", 32) + bytes(28))
        power_memory.global_memory_status(self.system, record)
        self.assertEqual(struct.unpack("<4I", self.mem.read(record, 16)), (32, 64, 64 << 20, 23 << 20))

    def test_record_sizes(self):
        cases = [
            ("dwLen", lambda: self.power(0, 48)),
            ("dwLength", lambda: power_memory.global_memory_status(self.system, self.machine.put(bytes(32)))),
        ]
        for argument, call in cases:
            with self.subTest(argument=argument):
                with self.assertRaisesRegex(ApiMisuse, argument):
                    call()


class SystemInfo(Calls):
    def test_version_processor_and_locale(self):
        version = self.machine.put(struct.pack("<I", 276) + bytes(272))
        self.assertEqual(system_info.get_version_ex(self.system, version), 1)
        self.assertEqual(struct.unpack("<5I", self.mem.read(version, 20)), (276, 5, 1, 14847, 3))
        record, returned = self.machine.buffer(576), self.machine.buffer(4)
        self.assertEqual(system_info.kernel_io_control(self.system, 0x01010064, 0, 0, record, 576, returned), 1)
        # pkfuncs.h PROCESSOR_INFO: szProcessCore at 2, szProcessorName at 84, szVendor at 366, dwClockSpeed at 572
        self.assertEqual(
            (self.mem.wstr(record + 2), self.mem.wstr(record + 84), self.mem.wstr(record + 366), self.mem.u32(record + 572)),
            ("ARM", "PXA270", "Intel Corporation", 416),
        )
        self.assertEqual(system_info.kernel_io_control(self.system, 0x01010064, 0, 0, record, 575, returned), 0)
        self.assertEqual((system_info.get_oemcp(self.system), system_info.get_acp(self.system)), (866, 1251))
        zone = self.machine.buffer(172)
        system_info.get_time_zone_information(self.system, zone)
        self.assertEqual(self.mem.i32(zone), -180)
        with self.assertRaisesRegex(ApiMisuse, "dwOSVersionInfoSize"):
            system_info.get_version_ex(self.system, self.machine.put(struct.pack("<I", 148) + bytes(272)))

    def test_idle_time(self):
        # sim_clock.h: the counter starts at 48 s; not kept, it reads 0xFFFFFFFF
        self.assertEqual(system_info.get_idle_time(self.system), 48000)
        self.world.clock.idle_kept = False
        self.assertEqual(system_info.get_idle_time(self.system), 0xFFFFFFFF)

    def test_a_restart_asked_is_full_after_the_clean_mark(self):
        asked = []
        self.system.restart = lambda full_reset: asked.append(full_reset)
        system_info.kernel_io_control(self.system, 0x0101003C, 0, 0, 0, 0, 0)
        system_info.set_clean_reboot_flag(self.system)
        system_info.kernel_io_control(self.system, 0x0101003C, 0, 0, 0, 0, 0)
        self.assertEqual(asked, [False, True])

    def test_a_second_mutex_of_a_name_already_exists_while_the_first_is_open(self):
        name = self.machine.put_wstr("Tavil")
        first = mutex.create_mutex(self.system, 0, 0, name)
        self.assertEqual(self.system.last_error, 0)
        second = mutex.create_mutex(self.system, 0, 0, name)
        self.assertEqual(self.system.last_error, ALREADY_EXISTS)
        other = mutex.create_mutex(self.system, 0, 0, self.machine.put_wstr("tavil"))  # names compare exactly
        self.assertEqual(self.system.last_error, 0)
        processes.close_handle(self.system, other)
        processes.close_handle(self.system, first)
        processes.close_handle(self.system, second)
        mutex.create_mutex(self.system, 0, 0, name)
        self.assertEqual(self.system.last_error, 0)


class Display(Calls):
    def change(self, fields, orientation, flags, size=192):
        mode = self.machine.put(bytes(68) + struct.pack("<HHI", size, 0, fields) + bytes(112) + struct.pack("<I", orientation))
        result = display.change_display_settings_ex(self.system, 0, mode, 0, flags, 0)
        return result - (1 << 32) if result & 0x80000000 else result, self.mem.u32(mode + 188)

    def test_requests_as_the_display_driver_judges_them(self):
        orientation, query = 0x800000, 0x1000000
        cases = [
            # fields, orientation, flags, dmSize -> result, record's orientation
            ((query, 0, 2, 192), (0, 7)),
            ((query | orientation, 0, 2, 192), (0, 7)),
            ((orientation, 9, 2, 192), (0, 0)),
            ((0, 9, 2, 192), (-2, 9)),
            ((orientation, 1, 0, 160), (-5, 1)),
            ((orientation, 1, 1, 192), (-4, 1)),
            ((orientation, 3, 0, 192), (-2, 3)),
            ((orientation, 8, 0, 192), (-2, 8)),
            ((0, 1, 0, 192), (-2, 1)),
            ((orientation, 1, 0, 192), (0, 1)),
        ]
        for request, answer in cases:
            with self.subTest(request=request):
                self.setUp()
                self.assertEqual(self.change(*request), answer)

    def test_turning_swaps_the_screen_measures(self):
        self.change(0x800000, 4, 0)
        self.assertEqual((display.get_system_metrics(self.system, 0), display.get_system_metrics(self.system, 1)), (320, 240))
        self.world.display.supported = 0
        self.assertEqual(self.change(0x800000, 1, 0)[0], -2)
        self.assertEqual(self.change(0x800000, 0, 0)[0], 0)
        self.assertEqual([display.get_system_metrics(self.system, index) for index in (0, 1, 11, 12, 49, 2)], [240, 320, 32, 32, 16, 0])


class RunTime(Calls):
    def test_copies_and_comparisons(self):
        text = self.machine.put_wstr("abc")
        copy = self.machine.buffer(16)
        crt.wcsncpy(self.system, copy, text, 5)
        self.assertEqual(self.mem.read(copy, 12), "abc\0\0".encode("utf-16-le") + bytes(2))
        self.mem.write(copy, b"\xff" * 16)
        crt.wcsncpy(self.system, copy, text, 2)
        self.assertEqual(self.mem.read(copy, 6), "ab".encode("utf-16-le") + b"\xff\xff")
        crt.wcscpy(self.system, copy, text)
        crt.wcscat(self.system, copy, text)
        self.assertEqual((self.mem.wstr(copy), crt.wcslen(self.system, copy)), ("abcabc", 6))
        cases = [("abc", "abd", 0xFFFFFFFF), ("abc", "abc", 0), ("abc", "ab", 1), ("\uffff", "a", 1)]
        for first, second, answer in cases:
            with self.subTest(first=first, second=second):
                self.assertEqual(crt.wcscmp(self.system, self.machine.put_wstr(first), self.machine.put_wstr(second)), answer)
        self.assertEqual(crt.memcmp(self.system, self.machine.put(b"\x01\x80"), self.machine.put(b"\x01\x7f"), 2), 1)

    def test_overlaps_and_the_heap(self):
        block = crt.malloc(self.system, 16)
        crt.memset(self.system, block, 0x41, 16)
        crt.memmove(self.system, block + 2, block, 8)
        self.assertEqual(self.mem.read(block, 4), b"AAAA")
        crt.free(self.system, block)
        crt.free(self.system, 0)
        text = self.machine.put_wstr("abcd")
        cases = [
            ("overlap", lambda: crt.memcpy(self.system, block + 4, block, 8)),
            ("overlap", lambda: crt.wcscpy(self.system, text + 2, text)),
            ("overlap", lambda: crt.wcsncpy(self.system, text + 2, text, 3)),
            ("memblock", lambda: crt.free(self.system, block)),
            ("memblock", lambda: crt.free(self.system, block + 4)),
        ]
        for why, call in cases:
            with self.subTest(why=why):
                with self.assertRaisesRegex(ApiMisuse, why):
                    call()


if __name__ == "__main__":
    unittest.main()

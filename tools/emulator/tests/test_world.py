import unittest

from emulator.errors import EmulationError
from emulator.registry_store import REG_DWORD, REG_SZ
from emulator.world import World
from tests.switched_on import LINES, switched_on_world

MINUTE = 60000


class ReadingWorldLines(unittest.TestCase):
    def test_the_lines_give_the_handheld(self):
        world = switched_on_world()
        self.assertEqual(world.processor.cccr, 0x290)
        self.assertFalse(world.processor.kernel_mode)
        self.assertEqual(world.processor_info.vendor, "Intel Corporation")
        self.assertEqual(world.locale.bias, -180)
        self.assertEqual(world.power.battery_current, -210)
        self.assertEqual(world.cached_power.battery_life_percent, 87)
        self.assertEqual(world.files[0].path, "\\Windows\\StartUp\\Tavil.lnk")
        self.assertEqual(world.files[0].target, "\\Windows\\Tavil.exe")
        self.assertIsNone(world.files[1].target)
        self.assertEqual(world.folders, {7: "\\Windows\\StartUp"})
        registry = world.registry
        self.assertEqual(registry.find("hklm\\drivers\\display\\gpe").value("logicalpixelsx").data, bytes([192, 0, 0, 0]))
        self.assertEqual(registry.find("HKLM\\SOFTWARE\\Apps\\alpha").value("Instl").kind, REG_DWORD)
        name = registry.find("HKLM\\SOFTWARE\\Apps\\Beta").value("Name")
        self.assertEqual((name.kind, name.data), (REG_SZ, 'B "quoted"\0'.encode("utf-16-le")))
        self.assertIsNotNone(registry.find("HKLM\\SOFTWARE\\Apps\\Zeta"))

    def test_lines_that_are_wrong_are_refused_by_name(self):
        cases = [
            ("world weather sunny", "unknown world line"),
            ("world processor pxa999 mainid 0x1 cachetype 0x1 cccr 0x1 cclkcfg 0x1", "pxa999"),
            ("world processor pxa27x mainid 0x1 cachetype 0x1 cccr 0x1", "fields expected"),
            ("world screen 240 320 16 x32", "x32"),
            ('world card Storage', "not quoted"),
            ('world card "Storage', "unclosed quote"),
            ('world file "\\\\a" link "\\\\b"', "'shortcut' expected"),
            ("world clock 0 20 2 48000", "kept 0 or 1"),
            ('world registry HKLM\\Apps "N" qword 0x1', "bad registry value"),
            ('world registry HKXX\\Apps "N" dword 0x1', "no key path"),
            ("world registry HKLM\\Apps\\\\Twice", "no key path"),
            ('world registry HKLM\\Apps "N" binary 0G', "bad binary value"),
            ("world memory 64 67108864 24117248", "a second world memory line"),
        ]
        for line, why in cases:
            with self.subTest(line=line):
                kind = line.split(" ")[1]
                others = [each for each in LINES if each.split(" ")[1] != kind or "second" in why]
                with self.assertRaises(EmulationError) as raised:
                    World.from_trace_lines(others + [line])
                self.assertIn(why, str(raised.exception))
                self.assertIn(line, str(raised.exception))

    def test_a_missing_line_is_named(self):
        lines = [line for line in LINES if not line.startswith("world store")]
        with self.assertRaisesRegex(EmulationError, "no world store line"):
            World.from_trace_lines(lines)

    def test_other_trace_lines_are_passed_over(self):
        world = World.from_trace_lines(LINES + ["step 1: wait 5", "exit 0"])
        self.assertEqual(len(world.processes), 3)


class TimePassing(unittest.TestCase):
    """sim_clock.h: the idle counter counts the idle share of the time, the
    busy-share arithmetic carried between steps; sim_battery.h: on battery one
    percent a minute, the cached status refreshed at each 5 s driver poll."""

    def test_the_idle_counter_takes_the_idle_share_with_its_remainder(self):
        cases = [
            # load %, steps of ms, idle counter after (from 48000)
            (20, [1000], 48800),
            (20, [1, 1], 48001),  # 80 + 80 = 160 hundredths
            (20, [1, 1, 1, 1, 1], 48004),  # 400 hundredths
            (95, [10, 10], 48001),  # 50 + 50
            (100, [5000], 48000),
            (0, [7], 48007),
        ]
        for load, steps, counter in cases:
            with self.subTest(load=load, steps=steps):
                world = switched_on_world()
                world.set_load(load)
                for step in steps:
                    world.time_passed(step)
                self.assertEqual(world.clock.idle_counter, counter)
                self.assertEqual(world.clock.now, sum(steps))

    def test_the_idle_counter_wraps_at_32_bits(self):
        world = switched_on_world()
        world.clock.idle_counter = 0xFFFFFFFF
        world.set_load(0)
        world.time_passed(2)
        self.assertEqual(world.clock.idle_counter, 1)

    def test_the_battery_and_its_cached_status(self):
        cases = [
            # steps, percent now, percent cached
            ([MINUTE - 1], 87, 87),
            ([MINUTE], 86, 86),
            ([30 * MINUTE], 57, 57),
            ([MINUTE - 1, 1], 86, 86),  # a minute ends at a poll
            ([200 * MINUTE], 0, 0),
        ]
        for steps, percent, cached in cases:
            with self.subTest(steps=steps):
                world = switched_on_world()
                for step in steps:
                    world.time_passed(step)
                self.assertEqual(world.power.battery_life_percent, percent)
                self.assertEqual(world.cached_power.battery_life_percent, cached)

    def test_the_cached_status_waits_for_the_next_poll(self):
        cases = [([4999], 87), ([5000], 50), ([4999, 1], 50), ([1, 4998], 87), ([4999, 5000], 50)]
        for steps, cached in cases:
            with self.subTest(steps=steps):
                world = switched_on_world()
                world.set_battery_percent(50)
                for step in steps:
                    world.time_passed(step)
                self.assertEqual(world.power.battery_life_percent, 50)
                self.assertEqual(world.cached_power.battery_life_percent, cached)

    def test_the_battery_flag_follows_the_charge(self):
        # sim_battery.cpp: critical below 5 %, low below 20 %, else high
        cases = [(21, 1), (20, 1), (19, 2), (6, 2), (5, 2), (4, 4)]
        for percent, flag in cases:
            with self.subTest(percent=percent):
                world = switched_on_world()
                world.set_battery_percent(percent + 1)
                world.time_passed(MINUTE)
                self.assertEqual(world.power.battery_flag, flag)

    def test_external_power_turns_the_current_at_once_and_charges(self):
        world = switched_on_world()
        world.set_external_power(True)
        self.assertEqual((world.power.ac_line_status, world.power.battery_flag, world.power.battery_current), (1, 8, 450))
        self.assertEqual(world.cached_power.battery_current, -210)
        world.time_passed(13 * MINUTE)
        self.assertEqual((world.power.battery_life_percent, world.power.battery_flag, world.power.battery_current), (100, 1, 0))
        world.set_external_power(False)
        self.assertEqual((world.power.ac_line_status, world.power.battery_flag, world.power.battery_current), (0, 1, -210))

    def test_a_battery_not_reported_stays(self):
        world = switched_on_world()
        world.power.battery_flag = 128
        world.set_external_power(True)
        world.time_passed(5 * MINUTE)
        self.assertEqual((world.power.battery_life_percent, world.power.battery_current), (87, -210))


class WorldCommands(unittest.TestCase):
    def test_load_and_battery_are_capped_at_100(self):
        world = switched_on_world()
        world.set_load(150)
        world.set_battery_percent(101)
        self.assertEqual((world.clock.load_percent, world.power.battery_life_percent), (100, 100))

    def test_memory_is_taken_and_given_back(self):
        world = switched_on_world()
        free = world.memory.free
        self.assertTrue(world.take_or_give_memory())
        self.assertEqual(world.memory.free, free - (8 << 20))
        self.assertTrue(world.take_or_give_memory())
        self.assertEqual(world.memory.free, free)
        world.memory.free = (8 << 20) - 1
        self.assertFalse(world.take_or_give_memory())
        self.assertEqual(world.memory.free, (8 << 20) - 1)

    def test_processes_start_with_ids_of_their_own_and_the_kernel_stays(self):
        world = switched_on_world()
        first = world.start_process("calc.exe")
        second = world.start_process("calc.exe")
        self.assertEqual((first, second), (0x5000, 0x5004))
        self.assertTrue(world.end_process(first))
        self.assertEqual(world.start_process("notes.exe"), 0x5000)
        self.assertEqual(world.start_process(""), 0)
        self.assertFalse(world.end_process(first + 1))
        self.assertFalse(world.end_process(0x03FE3002))
        self.assertEqual([process.name for process in world.processes][:3], ["nk.exe", "filesys.exe", "Tavil.exe"])
        self.assertEqual(world.started_processes, [0x5000, 0x5004, 0x5000])

    def test_turning_the_screen_swaps_its_sides_between_upright_and_sideways(self):
        cases = [([1], (320, 240)), ([1, 4], (320, 240)), ([1, 2], (240, 320)), ([2], (240, 320)), ([4, 0], (240, 320))]
        for turns, size in cases:
            with self.subTest(turns=turns):
                world = switched_on_world()
                for orientation in turns:
                    world.rotate(orientation)
                self.assertEqual((world.screen.width, world.screen.height), size)
                self.assertEqual(world.display.orientation, turns[-1])


if __name__ == "__main__":
    unittest.main()

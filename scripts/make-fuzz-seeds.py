#!/usr/bin/env python3
"""Writes the seeds of the fuzz targets whose input is decoded with libFuzzer's
FuzzedDataProvider (command_line, settings, window_messages, reading_icon) into
tests/fuzz/corpus/<target>/, each named after what it does. The provider takes
bytes and strings from the front of the input and numbers from its end (the
first number taken is the last byte), so each seed is built as those two parts
in the order the target takes them. Run from anywhere:
python3 scripts/make-fuzz-seeds.py"""

import os
import re

CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fuzz", "corpus")


class Input:
    def __init__(self):
        self.front = bytearray()
        self.back = []  # bytes in the order the provider takes them from the end

    def integral(self, lowest, highest, value):
        span = highest - lowest
        offset = value - lowest
        assert 0 <= offset <= span
        count = 0
        while count < 8 and (span >> (8 * count)) > 0:
            count += 1
        self.back += [(offset >> (8 * (count - 1 - i))) & 0xFF for i in range(count)]

    def unsigned(self, bits, value):
        self.integral(0, (1 << bits) - 1, value)

    def signed(self, bits, value):
        self.integral(-(1 << (bits - 1)), (1 << (bits - 1)) - 1, value)

    def boolean(self, value):
        self.unsigned(8, 1 if value else 0)

    def pick(self, count, index):
        self.integral(0, count - 1, index)

    def bytes(self, data):
        self.front += data

    def short_string(self, text):  # ConsumeRandomLengthString: a backslash and another byte end it
        self.front += text.replace(b"\\", b"\\\\") + b"\\x"

    def data(self):
        return bytes(self.front) + bytes(reversed(self.back))


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as seed:
        seed.write(data)


PXA270, PXA255, UNRECOGNISED = 0, 1, 2


def command_lines():
    for name, processor, line in [
        ("empty", PXA270, ""),
        ("preset-5", PXA270, "#5"),
        ("preset-0-pxa255", PXA255, "#0"),
        ("quoted-2-and-7", PXA270, '"#2" #7'),
        ("preset-9-no-clock-control", UNRECOGNISED, "#9"),
        ("words-around-3", PXA270, "/start #3 -minimised"),
    ]:
        seed = Input()
        seed.pick(3, processor)
        seed.bytes(line.encode("utf-16-le"))
        put("command_line", name, seed.data())


KNOWN_NAMES = ["MinFreq", "MaxFreq", "View", "UserFreq", "Color"]
NUMBER_TYPE = 4


def settings(processor, values, registers=None):
    seed = Input()
    seed.pick(3, processor)
    seed.integral(0, 8, len(values))
    for name, type_code, data in values:
        seed.boolean(name in KNOWN_NAMES)
        if name in KNOWN_NAMES:
            seed.pick(len(KNOWN_NAMES), KNOWN_NAMES.index(name))
        else:
            seed.short_string(name.encode())
        seed.boolean(type_code == NUMBER_TYPE)
        if type_code != NUMBER_TYPE:
            seed.unsigned(32, type_code)
        seed.integral(0, 8, len(data))
        seed.bytes(data)
    if registers:
        seed.boolean(True)
        seed.unsigned(32, registers[0])
        seed.unsigned(32, registers[1])
    return seed.data()


def number(value):
    return value.to_bytes(4, "little")


def stored_settings():
    put("settings", "as-saved", settings(PXA270, [
        ("MinFreq", 4, number(1)), ("MaxFreq", 4, number(6)), ("View", 4, number(1)),
        ("UserFreq", 4, number(0x02000290)), ("Color", 4, number(0x000C000B))]))
    put("settings", "out-of-range-pxa255", settings(PXA255, [
        ("MinFreq", 4, number(7)), ("MaxFreq", 4, number(99)), ("View", 4, number(9)),
        ("Color", 4, number(0xFFFFFFFF))]))
    put("settings", "wrong-sizes-and-types", settings(PXA270, [
        ("MaxFreq", 4, b"\x08\x00"), ("View", 1, b"3\x00"),
        ("UserFreq", 3, number(0x02000108) + number(1)), ("Other", 4, number(5))]))
    put("settings", "another-programs-104-mhz",
        settings(PXA270, [("View", 4, number(2))], (0x02000208, 0x0)))
    put("settings", "clock-registers-garbage",
        settings(PXA255, [("MaxFreq", 4, number(6))], (0xFFFFFFFF, 0xFFFFFFFF)))
    put("settings", "user-preset-no-clock-control", settings(UNRECOGNISED, [
        ("UserFreq", 4, number(0x02000310)), ("View", 4, number(3))]))


WM_CLOSE, WM_COMMAND, WM_TIMER = 16, 273, 275
SHOW_MENU, TRAY_CALLBACK, APPLY_PRESET = 1025, 1026, 1027
HANDLED = [WM_COMMAND, WM_TIMER, SHOW_MENU, TRAY_CALLBACK, APPLY_PRESET, WM_CLOSE]
FIRST_COMMAND, LAST_MENU_COMMAND = 10000, 10115 + 40
POST, CHOOSE, ANSWER, WAIT, WORLD = range(5)
OK, YES, NO = range(3)


class Steps:
    def __init__(self, processor):
        self.seed = Input()
        self.seed.pick(3, processor)

    def post(self, message, w_param=0, l_param=0):
        seed = self.seed
        seed.integral(0, 4, POST)
        seed.boolean(message in HANDLED)
        if message in HANDLED:
            seed.pick(len(HANDLED), HANDLED.index(message))
        else:
            seed.unsigned(32, message)
        if message == WM_COMMAND:
            in_menu = FIRST_COMMAND <= (w_param & 0xFFFF) <= LAST_MENU_COMMAND
            seed.boolean(in_menu)
            if in_menu:
                seed.integral(FIRST_COMMAND, LAST_MENU_COMMAND, w_param & 0xFFFF)
                seed.unsigned(16, w_param >> 16)
            else:
                seed.unsigned(64, w_param)
        else:
            seed.unsigned(64, w_param)
        seed.signed(64, l_param)
        return self

    def choose(self, command):
        self.seed.integral(0, 4, CHOOSE)
        self.seed.integral(FIRST_COMMAND, LAST_MENU_COMMAND, command)
        return self

    def answer(self, button):
        self.seed.integral(0, 4, ANSWER)
        self.seed.pick(3, button)
        return self

    def wait(self, milliseconds):
        self.seed.integral(0, 4, WAIT)
        self.seed.integral(0, 3000, milliseconds)
        return self

    def world(self, event, *values):
        seed = self.seed
        seed.integral(0, 4, WORLD)
        seed.integral(0, 6, event)
        if event == 0:
            seed.unsigned(32, values[0])  # another program's CCCR
        elif event == 1:
            seed.boolean(values[0])  # external power
        elif event == 2:
            seed.unsigned(8, values[0])  # battery percent
        elif event == 3:
            seed.integral(1, 8, values[0])  # a program starts with this many threads
        elif event == 4:
            for bits, value in values:  # the readings: negative bits for a signed field
                (seed.signed if bits < 0 else seed.unsigned)(abs(bits), value)
        elif event == 5:
            seed.unsigned(32, values[0])  # a process ends
        else:
            seed.unsigned(8, FAULT_SWITCHES.index(values[0]))  # a failure of the handheld
            seed.boolean(values[1])  # on or off
        return self

    def data(self):
        return self.seed.data()


# The names of the failures the handheld can be told to make, in table order.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "random",
                       "fault_switches.h")) as header:
    FAULT_SWITCHES = re.findall(r'\{"([\w.]+)",', header.read())

ODD_READINGS = [(8, 2), (8, 128 + 8), (8, 255), (8, 0), (8, 101), (32, 0xFFFFFFFF), (-32, -2**31),
                (32, 0x80000000), (32, 0), (8, 200), (32, 101), (32, 0), (32, 0xFFFFFFFF)]


def window_messages():
    put("window_messages", "tap-and-choose-624",
        Steps(PXA270).choose(10006).post(TRAY_CALLBACK, 0, 513).wait(2000).data())
    put("window_messages", "power-dialog-then-exit",
        Steps(PXA270).choose(10069).post(SHOW_MENU).wait(2500).post(WM_COMMAND, 10113).wait(100).data())
    put("window_messages", "preset-then-foreign-cccr",
        Steps(PXA270).post(APPLY_PRESET, 0, 5).wait(1000).world(0, 0x02000208).wait(1500).data())
    put("window_messages", "end-a-process",
        Steps(PXA270).world(3, 1).choose(10115).answer(YES).post(SHOW_MENU).wait(1000).data())
    put("window_messages", "restart-answered-yes",
        Steps(PXA255).choose(10111).answer(YES).post(TRAY_CALLBACK, 0, 516).wait(1000).data())
    put("window_messages", "icon-modes-and-colours",
        Steps(PXA270).post(WM_COMMAND, 10090).post(WM_COMMAND, 10100).world(1, True).world(2, 40)
        .wait(3000).post(WM_COMMAND, 10092 | 0x10000).wait(2000).data())
    put("window_messages", "odd-readings-in-the-dialogs",
        Steps(PXA270).post(WM_COMMAND, 10069).post(WM_COMMAND, 10070).world(4, *ODD_READINGS)
        .post(WM_COMMAND, 10091).wait(2500).data())
    put("window_messages", "icon-that-cannot-be-made-then-can",
        Steps(PXA270).post(WM_COMMAND, 10090).world(6, "graphics.bitmapCreationFails", True)
        .wait(2000).world(6, "graphics.bitmapCreationFails", False).wait(1500).data())
    put("window_messages", "processor-dialog-no-clock-control",
        Steps(UNRECOGNISED).post(WM_COMMAND, 10068).wait(2000).post(WM_TIMER, 1)
        .post(0x1234, 7, -1).data())


def reading_icons():
    for name, reading, text, background, size in [
        ("speed-624-small", 624, 11, 12, 16),
        ("load-57-large", 57, 11, 12, 32),
        ("memory-1234-barred", 1234, 0, 15, 16),
        ("current-minus-210", -210, 11, 12, 32),
        ("lowest-reading-odd-size", -2**31, 0xFFFFFFFF, 16, 7),
    ]:
        seed = Input()
        seed.signed(32, reading)
        seed.unsigned(32, text)
        seed.unsigned(32, background)
        seed.signed(32, size)
        put("reading_icon", name, seed.data())


command_lines()
stored_settings()
window_messages()
reading_icons()

"""The taskbar's notification icons, each known by its window and id. The
shell keeps a copy of the icon it is given, and the trace shows it."""

import struct
from dataclasses import dataclass

from emulator.api import imported
from emulator.errors import ApiMisuse
from emulator.pixels import pixel_rows
from emulator.system import checks
from emulator.system.graphics import icon_of
from emulator.system.windows import live_window

NIM_ADD, NIM_MODIFY, NIM_DELETE = 0, 1, 2
NIF_MESSAGE, NIF_ICON, NIF_TIP = 0x1, 0x2, 0x4
NOTIFYICONDATA = struct.Struct("<IIIIII")  # then szTip[64]
NOTIFYICONDATA_SIZE = 152
TIP_OFFSET = 24
TIP_CAPACITY = 64
ACTION_WORDS = {NIM_ADD: "add", NIM_MODIFY: "modify"}


@dataclass
class ShownIcon:
    window: int
    id: int
    callback_message: int = 0


def notification_area(system):
    return system.state("notification area", dict)  # (window, id) -> ShownIcon, oldest first


def shown(system):
    """The icon the user can tap (its window, id and callback message), or None."""
    return next(iter(notification_area(system).values()), None)


def _trace_icon(system, action, flags, handle):
    if not flags & NIF_ICON:
        return
    icon = icon_of(system, "Shell_NotifyIcon", "lpData->hIcon", handle) if handle else None
    size = icon.size if icon else 0
    system.trace.line(f"icon {ACTION_WORDS[action]} {size}")
    for row in pixel_rows(size, icon.argb) if icon else ():
        system.trace.line(row)


@imported("coredll.dll", "Shell_NotifyIcon")
def shell_notify_icon(system, dwMessage, lpData):
    checks.not_null("Shell_NotifyIcon", "lpData", lpData)
    size, window, icon_id, flags, callback, icon = NOTIFYICONDATA.unpack(
        system.mem.read(lpData, NOTIFYICONDATA.size))
    checks.record_size("Shell_NotifyIcon", "lpData->cbSize", size, NOTIFYICONDATA_SIZE)
    if dwMessage not in (NIM_ADD, NIM_MODIFY, NIM_DELETE):
        raise ApiMisuse(f"Shell_NotifyIcon: dwMessage {dwMessage} is not NIM_ADD, NIM_MODIFY or NIM_DELETE")
    live_window(system, "Shell_NotifyIcon", "lpData->hWnd", window)
    if flags & NIF_TIP:
        checks.text(system, "Shell_NotifyIcon", "lpData->szTip", lpData + TIP_OFFSET, TIP_CAPACITY - 1)
    area = notification_area(system)
    key = (window, icon_id)
    if dwMessage == NIM_DELETE:
        system.trace.line("icon delete")
        return int(area.pop(key, None) is not None)
    _trace_icon(system, dwMessage, flags, icon)
    if (key in area) != (dwMessage == NIM_MODIFY):
        return 0  # adding one shown already, or changing one not shown
    entry = area.setdefault(key, ShownIcon(window, icon_id))
    if flags & NIF_MESSAGE:
        entry.callback_message = callback
    return 1

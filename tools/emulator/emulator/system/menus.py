"""Menus loaded from the image's standard menu templates, changed by command
id (searching submenus, as the system does) or by position, and shown as a
popup whose choice the scenario's driver makes."""

import struct
from collections import namedtuple
from dataclasses import dataclass, field

from emulator import resources
from emulator.api import imported, to_signed
from emulator.errors import ApiMisuse, EmulationError, ScenarioFailure
from emulator.menu_template import MF_CHECKED, MF_GRAYED, MF_SEPARATOR, MenuItem, parse_menu_template
from emulator.system import checks
from emulator.system.resources import find, resource_id
from emulator.system.windows import WM_COMMAND, live_window, post_message, run_modal_loop
from emulator.trace import quoted

MF_DISABLED = 0x0002
MF_BYPOSITION = 0x0400
MFS_GRAYED = 0x0003
MFS_CHECKED = MF_CHECKED
MFT_SEPARATOR = MF_SEPARATOR
MIIM_STATE, MIIM_ID, MIIM_SUBMENU, MIIM_CHECKMARKS, MIIM_TYPE, MIIM_DATA = 0x01, 0x02, 0x04, 0x08, 0x10, 0x20
MIIM_MODELLED = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE
TPM_RETURNCMD = 0x0100
TPM_PLACEMENT = 0x00FC  # alignment and direction flags: where the menu shows, not what it does
NOT_FOUND = 0xFFFFFFFF
MENUITEMINFOW = struct.Struct("<IIIIIIIIIII")  # 44 bytes on the device

# One entry of a menu for the driver: submenu is a list of entries or None.
MenuEntry = namedtuple("MenuEntry", "id text checked greyed submenu separator")


@dataclass
class Menu:
    handle: int = 0
    items: list = field(default_factory=list)  # MenuItem, submenu a Menu or None


@dataclass
class Tracking:
    up: bool = False


def build_menu(system, template_items):
    menu = Menu(items=template_items)
    menu.handle = system.handles.new("menu", menu)
    for item in template_items:
        if item.submenu is not None:
            item.submenu = build_menu(system, item.submenu)
    return menu


def live_menu(system, function, handle):
    return checks.live(system, function, "hMenu", handle, "menu")


def modelled_flags(function, argument, value, modelled):
    if value & ~modelled:
        raise EmulationError(f"{function}: {argument} bits 0x{value & ~modelled:08X} are not modelled")


def locate(menu, item, by_position):
    """(menu, index) of the entry: at a position of this menu, or the first
    command with that id depth first; None when there is none."""
    if by_position:
        return (menu, item) if item < len(menu.items) else None
    for index, entry in enumerate(menu.items):
        if entry.submenu is not None:
            inside = locate(entry.submenu, item, False)
            if inside is not None:
                return inside
        elif entry.id == item and not entry.separator:
            return menu, index
    return None


def entry_at(system, function, hMenu, item, flags):
    found = locate(live_menu(system, function, hMenu), item, bool(flags & MF_BYPOSITION))
    return None if found is None else found[0].items[found[1]]


def destroy_menu_tree(system, menu):
    system.handles.close(menu.handle, "menu")
    for item in menu.items:
        if item.submenu is not None:
            destroy_menu_tree(system, item.submenu)


def menu_entries(system, menu):
    """The menu as the driver walks it, submenus included."""
    return [MenuEntry(item.id, item.text, item.checked, item.greyed,
                      None if item.submenu is None else menu_entries(system, item.submenu), item.separator)
            for item in menu.items]


def menu_lines(entries, depth=1):
    lines = []
    for entry in entries:
        indent = "  " * depth
        flags = ("x" if entry.checked else "-") + ("g" if entry.greyed else "-")
        if entry.separator:
            lines.append(f"{indent}separator")
        elif entry.submenu is not None:
            lines.append(f"{indent}popup {flags} {quoted(entry.text)}")
            lines.extend(menu_lines(entry.submenu, depth + 1))
        else:
            lines.append(f"{indent}{entry.id} {flags} {quoted(entry.text)}")
    return lines


@imported("coredll.dll", "LoadMenuW")
def load_menu(system, hInstance, lpMenuName):
    name = resource_id(system, "LoadMenuW", "lpMenuName", lpMenuName)
    found = find(system, "LoadMenuW", hInstance, name, resources.RT_MENU)
    if found is None:
        return 0
    return build_menu(system, parse_menu_template(system.mem.read, found[0])).handle


@imported("coredll.dll", "GetSubMenu")
def get_sub_menu(system, hMenu, nPos):
    menu = live_menu(system, "GetSubMenu", hMenu)
    position = to_signed(nPos)
    if not 0 <= position < len(menu.items) or menu.items[position].submenu is None:
        return 0
    return menu.items[position].submenu.handle


@imported("coredll.dll", "CheckMenuItem")
def check_menu_item(system, hMenu, uIDCheckItem, uCheck):
    modelled_flags("CheckMenuItem", "uCheck", uCheck, MF_BYPOSITION | MF_CHECKED)
    entry = entry_at(system, "CheckMenuItem", hMenu, uIDCheckItem, uCheck)
    if entry is None:
        return NOT_FOUND
    previous = MF_CHECKED if entry.checked else 0
    entry.checked = bool(uCheck & MF_CHECKED)
    return previous


@imported("coredll.dll", "EnableMenuItem")
def enable_menu_item(system, hMenu, uIDEnableItem, uEnable):
    modelled_flags("EnableMenuItem", "uEnable", uEnable, MF_BYPOSITION | MF_GRAYED | MF_DISABLED)
    entry = entry_at(system, "EnableMenuItem", hMenu, uIDEnableItem, uEnable)
    if entry is None:
        return NOT_FOUND
    previous = MF_GRAYED if entry.greyed else 0
    entry.greyed = bool(uEnable & (MF_GRAYED | MF_DISABLED))
    return previous


@imported("coredll.dll", "DeleteMenu")
def delete_menu(system, hMenu, uPosition, uFlags):
    modelled_flags("DeleteMenu", "uFlags", uFlags, MF_BYPOSITION)
    found = locate(live_menu(system, "DeleteMenu", hMenu), uPosition, bool(uFlags & MF_BYPOSITION))
    if found is None:
        return 0
    removed = found[0].items.pop(found[1])
    if removed.submenu is not None:
        destroy_menu_tree(system, removed.submenu)
    return 1


@imported("coredll.dll", "InsertMenuW")
def insert_menu(system, hMenu, uPosition, uFlags, uIDNewItem, lpNewItem):
    modelled_flags("InsertMenuW", "uFlags", uFlags, MF_BYPOSITION | MF_SEPARATOR | MF_CHECKED | MF_GRAYED)
    menu = live_menu(system, "InsertMenuW", hMenu)
    separator = bool(uFlags & MF_SEPARATOR)
    text = "" if separator else checks.text(system, "InsertMenuW", "lpNewItem", lpNewItem)
    item = MenuItem(uIDNewItem & 0xFFFF, text, bool(uFlags & MF_CHECKED), bool(uFlags & MF_GRAYED), separator)
    if uFlags & MF_BYPOSITION and uPosition >= len(menu.items):
        menu.items.append(item)  # 0xFFFFFFFF and any position past the end append
        return 1
    found = locate(menu, uPosition, bool(uFlags & MF_BYPOSITION))
    if found is None:
        return 0
    found[0].items.insert(found[1], item)
    return 1


@imported("coredll.dll", "GetMenuItemInfoW")
def get_menu_item_info(system, hMenu, uItem, fByPosition, lpmii):
    checks.not_null("GetMenuItemInfoW", "lpmii", lpmii)
    (size, mask, _, _, _, _, _, _, _, text_buffer, capacity) = MENUITEMINFOW.unpack(
        system.mem.read(lpmii, MENUITEMINFOW.size))
    checks.record_size("GetMenuItemInfoW", "lpmii->cbSize", size, MENUITEMINFOW.size)
    if mask & ~(MIIM_MODELLED | MIIM_CHECKMARKS | MIIM_DATA):
        raise ApiMisuse(f"GetMenuItemInfoW: lpmii->fMask 0x{mask:08X} has bits the device does not define")
    modelled_flags("GetMenuItemInfoW", "lpmii->fMask", mask, MIIM_MODELLED)
    entry = entry_at(system, "GetMenuItemInfoW", hMenu, uItem, MF_BYPOSITION if fByPosition else 0)
    if entry is None:
        return 0
    if mask & MIIM_TYPE:
        system.mem.put_u32(lpmii + 8, MFT_SEPARATOR if entry.separator else 0)
        text = "" if entry.separator else entry.text
        copied = system.mem.put_wstr(text_buffer, text, capacity) if text_buffer else len(text)
        system.mem.put_u32(lpmii + 40, copied)
    if mask & MIIM_STATE:
        system.mem.put_u32(lpmii + 12, (MFS_CHECKED if entry.checked else 0) | (MFS_GRAYED if entry.greyed else 0))
    if mask & MIIM_ID:
        system.mem.put_u32(lpmii + 16, entry.id)
    if mask & MIIM_SUBMENU:
        system.mem.put_u32(lpmii + 20, 0 if entry.submenu is None else entry.submenu.handle)
    return 1


@imported("coredll.dll", "DestroyMenu")
def destroy_menu(system, hMenu):
    destroy_menu_tree(system, live_menu(system, "DestroyMenu", hMenu))
    return 1


def enabled_command(menu, command):
    found = locate(menu, command, False)
    return found is not None and not found[0].items[found[1]].greyed


@imported("coredll.dll", "TrackPopupMenuEx")
def track_popup_menu(system, hMenu, uFlags, x, y, hWnd, lptpm):
    """Shows the menu once its loop has delivered what is queued; the driver
    chooses. Only one popup is up at a time: another asked for meanwhile fails."""
    modelled_flags("TrackPopupMenuEx", "uFlags", uFlags, TPM_PLACEMENT | TPM_RETURNCMD)
    menu = live_menu(system, "TrackPopupMenuEx", hMenu)
    live_window(system, "TrackPopupMenuEx", "hWnd", hWnd)
    tracking = system.state("menu tracking", Tracking)
    if tracking.up:
        return 0
    tracking.up = True
    try:
        run_modal_loop(system)
        system.trace.line("menu")
        for line in menu_lines(menu_entries(system, menu)):
            system.trace.line(line)
        chosen = system.driver.choose_menu(system, menu)
    finally:
        tracking.up = False
    if chosen != 0 and not enabled_command(menu, chosen):
        raise ScenarioFailure(f"the driver chose {chosen}, which the menu holds as no enabled command")
    system.trace.line(f"chosen {chosen}")
    if uFlags & TPM_RETURNCMD:
        return chosen
    if chosen != 0:
        post_message(system, hWnd, WM_COMMAND, chosen, 0)
    return 1

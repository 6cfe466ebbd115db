"""The standard menu template (MENUITEMTEMPLATEHEADER, then MENUITEMTEMPLATE
entries) as a tree of entries. A popup entry has no id and its entries follow
it; MF_END marks the last entry of each level. An entry with id 0 and empty
text is a separator, as resource compilers write MENUITEM SEPARATOR."""

from dataclasses import dataclass
from typing import Optional

from emulator.errors import EmulationError
from emulator.template_reader import TemplateReader

MF_GRAYED = 0x0001
MF_DISABLED = 0x0002
MF_CHECKED = 0x0008
MF_POPUP = 0x0010
MF_END = 0x0080
MF_SEPARATOR = 0x0800
KNOWN_OPTIONS = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_END | MF_SEPARATOR


@dataclass
class MenuItem:
    id: int
    text: str
    checked: bool = False
    greyed: bool = False
    separator: bool = False
    submenu: Optional[object] = None  # a list of MenuItem here; the menu built from it later


def parse_menu_template(read, address):
    reader = TemplateReader(read, address)
    version = reader.u16()
    if version != 0:
        raise EmulationError(f"menu template version {version}: only the standard template (0) is modelled")
    reader.take(reader.u16())
    return _entries(reader)


def _entries(reader):
    entries = []
    while True:
        options = reader.u16()
        if options & ~KNOWN_OPTIONS:
            raise EmulationError(f"menu option bits 0x{options & ~KNOWN_OPTIONS:04X} are not modelled")
        if options & MF_POPUP:
            item = MenuItem(0, reader.text())
            item.submenu = _entries(reader)
        else:
            item = MenuItem(reader.u16(), reader.text())
            item.separator = bool(options & MF_SEPARATOR) or (item.id == 0 and item.text == "")
        item.checked = bool(options & MF_CHECKED)
        item.greyed = bool(options & (MF_GRAYED | MF_DISABLED))
        entries.append(item)
        if options & MF_END:
            return entries

"""The standard dialog template (DLGTEMPLATE, then one DLGITEMTEMPLATE per
control, each on a DWORD boundary, with its class, title and creation data).
A title given as a resource number reads "#N"; the extended template
(DLGTEMPLATEEX), a menu and a private dialog class are not modelled."""

from dataclasses import dataclass, field

from emulator.errors import EmulationError
from emulator.template_reader import ORDINAL_MARK, TemplateReader

DS_SETFONT = 0x40
# The predefined control classes by their atom.
CONTROL_CLASSES = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC", 0x83: "LISTBOX",
                   0x84: "SCROLLBAR", 0x85: "COMBOBOX"}


@dataclass
class ControlTemplate:
    style: int
    ex_style: int
    id: int
    class_name: str
    text: str


@dataclass
class DialogTemplate:
    style: int
    ex_style: int
    caption: str
    font: tuple = None  # (points, face) with DS_SETFONT
    controls: list = field(default_factory=list)


def parse_dialog_template(read, address):
    reader = TemplateReader(read, address)
    style, ex_style = reader.u32(), reader.u32()
    if style >> 16 == ORDINAL_MARK and style & 0xFFFF == 1:
        raise EmulationError("an extended dialog template (DLGTEMPLATEEX) is not modelled")
    count = reader.u16()
    reader.take(8)  # x, y, cx, cy in dialog units
    for array in ("menu", "window class"):
        if reader.text_or_ordinal() != "":
            raise EmulationError(f"a dialog template with a {array} is not modelled")
    dialog = DialogTemplate(style, ex_style, reader.text())
    if style & DS_SETFONT:
        dialog.font = (reader.u16(), reader.text())
    dialog.controls = [_control(reader) for _ in range(count)]
    return dialog


def _control(reader):
    reader.align(4)
    style, ex_style = reader.u32(), reader.u32()
    reader.take(8)
    control_id = reader.u16()
    class_name = reader.text_or_ordinal()
    if isinstance(class_name, int):
        if class_name not in CONTROL_CLASSES:
            raise EmulationError(f"control class atom 0x{class_name:04X} is not a predefined class")
        class_name = CONTROL_CLASSES[class_name]
    text = reader.text_or_ordinal()
    if isinstance(text, int):
        text = f"#{text}"
    extra = reader.u16()  # creation data: its size in bytes, counting this word
    reader.take(max(extra - 2, 0))
    return ControlTemplate(style, ex_style, control_id, class_name, text)

"""A plain listing of the image for people: sections, symbols with RVAs,
imports and exports."""


def render(built, elf, plan, base):
    lines = [f"image base {base:#010x}", "", "sections"]
    for section in built.sections:
        lines.append(f"  {section.name:<8} rva {section.rva:#010x}  virtual {section.virtual_size:#09x}  "
                     f"stored {len(section.data):#09x}  characteristics {section.characteristics:#010x}")
    lines += ["", "symbols"]
    image_sections = {s.name for s in elf.sections}
    symbols = sorted((s for s in elf.symbols if s.section in image_sections and s.kind != "STT_SECTION"),
                     key=lambda s: (s.value, s.name))
    for symbol in symbols:
        lines.append(f"  {symbol.value - base:#010x} {symbol.size:#07x} {symbol.section:<7} "
                     f"{symbol.kind[4:].lower():<7} {symbol.name}")
    lines += ["", "imports"]
    for slot in plan.slots if plan else []:
        how = f"ordinal {slot.listed.ordinal}" if slot.listed.ordinal is not None else "by name"
        lines.append(f"  {slot.rva:#010x} {slot.listed.dll} {slot.listed.function} ({how})")
    lines += ["", "exports"]
    for name, rva in sorted(built.export_rvas.items()):
        lines.append(f"  {rva:#010x} {name}")
    lines += ["", "function table"]
    for entry in built.entries:
        lines.append(f"  {entry.function.start - base:#010x} prolog {entry.prolog_length:3} "
                     f"length {entry.function.size // 4:6}{'  handler' if entry.exception_flag else ''}  "
                     f"{entry.function.name}")
    return "\n".join(lines) + "\n"

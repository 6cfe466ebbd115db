"""The registry as the trace's last lines give it."""

from emulator.registry_store import REG_BINARY, REG_DWORD, REG_SZ
from emulator.trace import quoted


def _value_text(value):
    if value.kind == REG_DWORD:
        return f"dword 0x{int.from_bytes(value.data[:4], 'little'):08X}"
    if value.kind == REG_SZ:
        return "sz " + quoted(value.data.decode("utf-16-le", "surrogatepass").split("\0")[0])
    if value.kind == REG_BINARY:
        return "binary " + value.data.hex().upper()
    raise ValueError(f"registry value of type {value.kind}")


def registry_lines(store, prefix="registry"):
    lines = []
    for key in sorted(store.keys.values(), key=lambda key: key.path.encode("utf-8")):
        if not key.values:
            lines.append(f"{prefix} {key.path}")
        for value in sorted(key.values.values(), key=lambda value: value.name.encode("utf-8")):
            lines.append(f"{prefix} {key.path} {quoted(value.name)} {_value_text(value)}")
    return lines

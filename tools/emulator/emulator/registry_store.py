"""The handheld's registry: keys by path from their root ("HKLM\\SOFTWARE\\Apps"),
each with its values. Paths and value names compare with ASCII letters folded
to lower case, as the simulated handheld compares them; each keeps the spelling
it was first created with. Subkeys list in the order of their folded names."""

REG_SZ = 1
REG_BINARY = 3
REG_DWORD = 4

ROOTS = ("HKLM", "HKCU")


def folded(text):
    return "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in text)


def is_key_path(path):
    """A path below a root: not empty, no empty part."""
    return path != "" and not path.startswith("\\") and not path.endswith("\\") and "\\\\" not in path


class Value:
    def __init__(self, name, kind, data):
        self.name = name
        self.kind = kind
        self.data = bytes(data)


class Key:
    def __init__(self, path):
        self.path = path
        self.values = {}  # folded name -> Value

    def value(self, name):
        return self.values.get(folded(name))

    def store(self, name, kind, data):
        stored = self.values.get(folded(name))
        if stored is None:
            self.values[folded(name)] = Value(name, kind, data)
        else:
            stored.kind, stored.data = kind, bytes(data)


class RegistryStore:
    """The roots always exist and are not stored: only the keys below them are."""

    def __init__(self):
        self.roots = {folded(root): Key(root) for root in ROOTS}
        self.keys = {}  # folded path -> Key

    def find(self, path):
        return self.roots.get(folded(path)) or self.keys.get(folded(path))

    def make(self, path):
        """The key at path (below a root), created with every key above it that
        is missing."""
        parts = path.split("\\")
        for end in range(2, len(parts) + 1):
            above = "\\".join(parts[:end])
            self.keys.setdefault(folded(above), Key(above))
        return self.keys[folded(path)]

    def subkeys(self, key):
        prefix = folded(key.path) + "\\"
        return [
            self.keys[path]
            for path in sorted(self.keys)
            if path.startswith(prefix) and "\\" not in path[len(prefix) :]
        ]

    def clear(self):
        self.keys.clear()

"""Handles the system hands out: each names one live object of one kind, and a
handle that was closed, or is of another kind, is an error, not a miss."""

from emulator.errors import ApiMisuse

FIRST_HANDLE = 0x00C0_0004


class Handles:
    def __init__(self):
        self.objects = {}
        self.next = FIRST_HANDLE

    def new(self, kind, obj):
        handle = self.next
        self.next += 4
        self.objects[handle] = (kind, obj)
        return handle

    def get(self, handle, kind):
        entry = self.objects.get(handle)
        if entry is None:
            raise ApiMisuse(f"0x{handle:08X} is not a live handle (a {kind} was expected)")
        if entry[0] != kind:
            raise ApiMisuse(f"0x{handle:08X} is a {entry[0]}, not a {kind}")
        return entry[1]

    def find(self, handle, kind):
        """The object, or None when the handle is not a live one of that kind."""
        entry = self.objects.get(handle)
        return entry[1] if entry is not None and entry[0] == kind else None

    def close(self, handle, kind):
        obj = self.get(handle, kind)
        del self.objects[handle]
        return obj

    def live(self, kind):
        return [handle for handle, (each, _) in self.objects.items() if each == kind]

"""The SDK's rules for arguments, each a check that names the function and the
argument it found broken."""

from emulator.errors import ApiMisuse

INVALID_HANDLE_VALUE = 0xFFFFFFFF
MAX_PATH = 260

# winerror.h
ERROR_SUCCESS = 0
ERROR_FILE_NOT_FOUND = 2
ERROR_INVALID_HANDLE = 6
ERROR_NO_MORE_FILES = 18
ERROR_INVALID_PARAMETER = 87
ERROR_INSUFFICIENT_BUFFER = 122
ERROR_ALREADY_EXISTS = 183
ERROR_FILENAME_EXCED_RANGE = 206
ERROR_MORE_DATA = 234
ERROR_NO_MORE_ITEMS = 259


def not_null(function, argument, pointer):
    if pointer == 0:
        raise ApiMisuse(f"{function}: {argument} is NULL")
    return pointer


def null(function, argument, value):
    """An argument the device's SDK reserves: it must be 0 (NULL)."""
    if value != 0:
        raise ApiMisuse(f"{function}: {argument} must be 0, is 0x{value:08X}")


def record_size(function, argument, actual, expected):
    if actual != expected:
        raise ApiMisuse(f"{function}: {argument} is {actual}, the record is {expected} bytes")


def text(system, function, argument, pointer, limit=32768):
    """The string argument, which must be there and terminated."""
    not_null(function, argument, pointer)
    try:
        return system.mem.wstr(pointer, limit)
    except ApiMisuse as error:
        raise ApiMisuse(f"{function}: {argument}: {error}") from None


def live(system, function, argument, handle, kind):
    try:
        return system.handles.get(handle, kind)
    except ApiMisuse as error:
        raise ApiMisuse(f"{function}: {argument}: {error}") from None


def close(system, function, argument, handle, kind):
    """Closes a live handle of the kind; TRUE, as the closing functions return."""
    live(system, function, argument, handle, kind)
    system.handles.close(handle, kind)
    return 1

def fixed_text(text, capacity):
    """The bytes of a fixed text field of capacity characters: the text, cut
    to leave room for its terminator, then zeros."""
    data = text.encode("utf-16-le")[: 2 * (capacity - 1)]
    return data + bytes(2 * capacity - len(data))

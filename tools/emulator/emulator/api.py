"""The table of imported functions that the harness serves.

A handler is a plain function whose first parameter is the `System` and whose
other parameters are the call's arguments, as 32-bit unsigned numbers, in the
order the SDK gives them; the harness reads as many as the handler names (r0 to
r3, then the caller's stack). It returns the function's result (None is 0).

    @imported("coredll.dll", "GetACP")
    def get_acp(system):
        return 1251
"""

import inspect

from emulator.errors import UnknownImport

# (dll in lower case, function name) -> (handler, number of arguments)
HANDLERS = {}


def imported(dll, name):
    def register(handler):
        key = (dll.lower(), name)
        if key in HANDLERS:
            raise ValueError(f"{dll}!{name} is served twice")
        HANDLERS[key] = (handler, len(inspect.signature(handler).parameters) - 1)
        return handler

    return register


def handler_for(dll, name):
    try:
        return HANDLERS[(dll.lower(), name)]
    except KeyError:
        raise UnknownImport(f"the harness does not serve {dll}!{name}") from None


def to_signed(value):
    value &= 0xFFFFFFFF
    return value - (1 << 32) if value & 0x80000000 else value

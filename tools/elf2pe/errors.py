"""The one error the tool reports: printed as `elf2pe: error: MESSAGE`."""


class Elf2PeError(Exception):
    pass

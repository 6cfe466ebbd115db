"""Where things sit in an emulated process's address space (below the images
only what the loader would put there: nothing at 0, so a NULL faults)."""

STACK_TOP = 0x0100_0000
STACK_SIZE = 0x0010_0000
ARENA = 0x0A00_0000           # the system's own records and strings
ARENA_SIZE = 0x0010_0000
RESERVATIONS = 0x0C00_0000    # VirtualAlloc reservations, 64 KB apart
RESERVATION_STRIDE = 0x0001_0000
THUNKS = 0x0F00_0000          # one word an imported function; never executed
THUNKS_SIZE = 0x1000
RETURN = 0x0F10_0000          # where a procedure the system called returns to
DLL_LOAD_BASE = 0x0200_0000   # setup DLLs load here, not at their preferred base

"""Named mutexes. Names compare exactly; a named mutex lives while a handle to
it is open, in any process of the handheld, and creating it again opens it
with ERROR_ALREADY_EXISTS; an unnamed one is always new."""

from emulator.api import imported
from emulator.system import checks
from emulator.system.checks import ERROR_ALREADY_EXISTS, ERROR_FILENAME_EXCED_RANGE, MAX_PATH
from emulator.system.processes import MUTEX


@imported("coredll.dll", "CreateMutexW")
def create_mutex(system, lpsa, bInitialOwner, lpName):
    checks.null("CreateMutexW", "lpsa", lpsa)
    name = "" if lpName == 0 else checks.text(system, "CreateMutexW", "lpName", lpName)
    if len(name) >= MAX_PATH:
        system.last_error = ERROR_FILENAME_EXCED_RANGE
        return 0
    handles = system.handles
    exists = name != "" and any(handles.find(handle, MUTEX) == name for handle in handles.live(MUTEX))
    system.last_error = ERROR_ALREADY_EXISTS if exists else 0
    return handles.new(MUTEX, name)

"""The screen's measures and its rotation, judged as the simulated handheld's
display driver judges a request (platform/sim/sim_display.h): a record whose
dmSize is not 192 is a bad parameter (-5), flags other than 0 (apply) and
CDS_TEST (2, query) are bad flags (-4), and a record that names neither
rotation field, or asks for an orientation the display does not have, is a
bad mode (-2). A refused request leaves the record and the display alone."""

from emulator.api import imported
from emulator.errors import EmulationError
from emulator.system import checks

SM_CXSCREEN, SM_CYSCREEN, SM_CXICON, SM_CYICON, SM_CXSMICON = 0, 1, 11, 12, 49
DEVMODE_SIZE = 192
DM_SIZE = 68
DM_FIELDS = 72
DM_DISPLAY_ORIENTATION = 188
DM_DISPLAYORIENTATION = 0x800000
DM_DISPLAYQUERYORIENTATION = 0x1000000
APPLY_NOW, CDS_TEST = 0, 2
DISP_CHANGE_SUCCESSFUL, DISP_CHANGE_BADMODE, DISP_CHANGE_BADFLAGS, DISP_CHANGE_BADPARAM = 0, -2, -4, -5
ALL_ROTATIONS = 1 | 2 | 4


@imported("coredll.dll", "GetSystemMetrics")
def get_system_metrics(system, nIndex):
    """0 for a measure the system does not know."""
    screen = system.world.screen
    measures = {
        SM_CXSCREEN: screen.width,
        SM_CYSCREEN: screen.height,
        SM_CXICON: screen.icon,
        SM_CYICON: screen.icon,
        SM_CXSMICON: screen.small_icon,
    }
    return measures.get(nIndex, 0)


def available(display, orientation):
    single_bit = orientation & (orientation - 1) == 0
    return orientation == 0 or (single_bit and orientation & ALL_ROTATIONS & display.supported != 0)


def answer_query(system, mode, fields):
    display = system.world.display
    if fields & DM_DISPLAYQUERYORIENTATION:
        system.mem.put_u32(mode + DM_DISPLAY_ORIENTATION, display.supported)
    elif fields & DM_DISPLAYORIENTATION:
        system.mem.put_u32(mode + DM_DISPLAY_ORIENTATION, display.orientation)
    else:
        return DISP_CHANGE_BADMODE
    return DISP_CHANGE_SUCCESSFUL


def apply_orientation(system, mode, fields):
    orientation = system.mem.u32(mode + DM_DISPLAY_ORIENTATION)
    if fields & DM_DISPLAYORIENTATION == 0 or not available(system.world.display, orientation):
        return DISP_CHANGE_BADMODE
    system.world.rotate(orientation)
    return DISP_CHANGE_SUCCESSFUL


@imported("coredll.dll", "ChangeDisplaySettingsEx")
def change_display_settings_ex(system, lpszDeviceName, lpDevMode, hwnd, dwflags, lParam):
    function = "ChangeDisplaySettingsEx"
    checks.null(function, "lpszDeviceName", lpszDeviceName)
    checks.null(function, "hwnd", hwnd)
    checks.null(function, "lParam", lParam)
    if lpDevMode == 0:
        raise EmulationError(f"{function}: a NULL lpDevMode (the registry's mode) is not modelled")
    if system.mem.u16(lpDevMode + DM_SIZE) != DEVMODE_SIZE:
        return DISP_CHANGE_BADPARAM & 0xFFFFFFFF
    fields = system.mem.u32(lpDevMode + DM_FIELDS)
    if dwflags == CDS_TEST:
        result = answer_query(system, lpDevMode, fields)
    elif dwflags == APPLY_NOW:
        result = apply_orientation(system, lpDevMode, fields)
    else:
        result = DISP_CHANGE_BADFLAGS
    return result & 0xFFFFFFFF

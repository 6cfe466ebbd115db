"""The registry functions of coredll, over the world's registry.

The device ignores the access asked for when a key is opened (its SDK: "not
supported"); the simulated handheld refuses a query through a handle opened
without KEY_QUERY_VALUE, a write without KEY_SET_VALUE and a listing without
KEY_ENUMERATE_SUB_KEYS. Where the two would answer differently the run stops.
A NULL key (what the program passes after an open failed) gets the device's
ERROR_INVALID_HANDLE; any other handle that is not a live key stops the run."""

from emulator.api import imported
from emulator.errors import ApiMisuse
from emulator.registry_store import REG_DWORD, is_key_path
from emulator.system import checks
from emulator.system.checks import (
    ERROR_FILE_NOT_FOUND,
    ERROR_INVALID_HANDLE,
    ERROR_MORE_DATA,
    ERROR_NO_MORE_ITEMS,
    ERROR_SUCCESS,
)

KEY = "registry key"
PREDEFINED = {0x80000002: "HKLM", 0x80000001: "HKCU"}
KEY_QUERY_VALUE = 0x0001
KEY_SET_VALUE = 0x0002
KEY_ENUMERATE_SUB_KEYS = 0x0008
ALL_ACCESS = 0xFFFFFFFF
REG_CREATED_NEW_KEY = 1
REG_OPENED_EXISTING_KEY = 2


class OpenKey:
    def __init__(self, path, access):
        self.path = path
        self.access = access


def open_key(system, function, handle):
    """The open key behind a handle; None for NULL."""
    if handle == 0:
        return None
    if handle in PREDEFINED:
        return OpenKey(PREDEFINED[handle], ALL_ACCESS)
    return checks.live(system, function, "hKey", handle, KEY)


def stored_key(system, function, opened, right, right_name):
    if opened.access & right == 0:
        raise ApiMisuse(
            f"{function}: the key {opened.path} was opened without {right_name}: "
            "the device would answer, the simulated handheld refuses"
        )
    return system.world.registry.find(opened.path)


def below(system, function, opened, sub_key):
    """The path of lpSubKey below the open key; None when it names no key."""
    if sub_key == 0:
        return opened.path
    name = checks.text(system, function, "lpSubKey", sub_key)
    if name == "":
        return opened.path
    return opened.path + "\\" + name if is_key_path(name) else None


def hand_out(system, path, access, result_pointer):
    system.mem.put_u32(result_pointer, system.handles.new(KEY, OpenKey(path, access)))


@imported("coredll.dll", "RegOpenKeyExW")
def reg_open_key_ex(system, hKey, lpSubKey, ulOptions, samDesired, phkResult):
    function = "RegOpenKeyExW"
    checks.null(function, "ulOptions", ulOptions)
    checks.not_null(function, "phkResult", phkResult)
    opened = open_key(system, function, hKey)
    if opened is None:
        return ERROR_INVALID_HANDLE
    path = below(system, function, opened, lpSubKey)
    if path is None or system.world.registry.find(path) is None:
        system.mem.put_u32(phkResult, 0)
        return ERROR_FILE_NOT_FOUND
    hand_out(system, path, samDesired, phkResult)
    return ERROR_SUCCESS


@imported("coredll.dll", "RegCreateKeyExW")
def reg_create_key_ex(
    system, hKey, lpSubKey, Reserved, lpClass, dwOptions, samDesired, lpSecurityAttributes, phkResult, lpdwDisposition
):
    function = "RegCreateKeyExW"
    checks.null(function, "Reserved", Reserved)
    checks.null(function, "lpSecurityAttributes", lpSecurityAttributes)
    checks.not_null(function, "lpSubKey", lpSubKey)
    checks.not_null(function, "phkResult", phkResult)
    opened = open_key(system, function, hKey)
    if opened is None:
        return ERROR_INVALID_HANDLE
    path = below(system, function, opened, lpSubKey)
    if path is None or path == opened.path:
        raise ApiMisuse(f"{function}: lpSubKey names no key below {opened.path}")
    registry = system.world.registry
    existed = registry.find(path) is not None
    registry.make(path)
    hand_out(system, path, samDesired, phkResult)
    if lpdwDisposition:
        system.mem.put_u32(lpdwDisposition, REG_OPENED_EXISTING_KEY if existed else REG_CREATED_NEW_KEY)
    return ERROR_SUCCESS


def reached_key(system, function, hKey, right, right_name):
    """ERROR_SUCCESS and the stored key behind the handle (None once the key is
    gone), or ERROR_INVALID_HANDLE and None for a NULL handle."""
    opened = open_key(system, function, hKey)
    if opened is None:
        return ERROR_INVALID_HANDLE, None
    return ERROR_SUCCESS, stored_key(system, function, opened, right, right_name)


def value_name(system, function, lpValueName):
    return "" if lpValueName == 0 else checks.text(system, function, "lpValueName", lpValueName)


def check_class_arguments(function, lpReserved, lpClass, lpcchClass):
    checks.null(function, "lpReserved", lpReserved)
    if lpClass:
        checks.not_null(function, "lpcchClass (with lpClass)", lpcchClass)


@imported("coredll.dll", "RegQueryValueExW")
def reg_query_value_ex(system, hKey, lpValueName, lpReserved, lpType, lpData, lpcbData):
    function = "RegQueryValueExW"
    checks.null(function, "lpReserved", lpReserved)
    if lpData:
        checks.not_null(function, "lpcbData (with lpData)", lpcbData)
    name = value_name(system, function, lpValueName)
    status, key = reached_key(system, function, hKey, KEY_QUERY_VALUE, "KEY_QUERY_VALUE")
    if status:
        return status
    value = key.value(name) if key is not None else None
    if value is None:
        return ERROR_FILE_NOT_FOUND
    if lpType:
        system.mem.put_u32(lpType, value.kind)
    if lpcbData == 0:
        return ERROR_SUCCESS
    room = system.mem.u32(lpcbData)
    system.mem.put_u32(lpcbData, len(value.data))
    if lpData == 0:
        return ERROR_SUCCESS
    if room < len(value.data):
        return ERROR_MORE_DATA
    system.mem.write(lpData, value.data)
    return ERROR_SUCCESS


@imported("coredll.dll", "RegSetValueExW")
def reg_set_value_ex(system, hKey, lpValueName, Reserved, dwType, lpData, cbData):
    function = "RegSetValueExW"
    checks.null(function, "Reserved", Reserved)
    if cbData:
        checks.not_null(function, "lpData", lpData)
    if dwType == REG_DWORD and cbData != 4:
        raise ApiMisuse(f"{function}: cbData is {cbData} for a REG_DWORD, which is 4 bytes")
    name = value_name(system, function, lpValueName)
    status, key = reached_key(system, function, hKey, KEY_SET_VALUE, "KEY_SET_VALUE")
    if status:
        return status
    if key is None:
        return ERROR_FILE_NOT_FOUND
    key.store(name, dwType, system.mem.read(lpData, cbData) if cbData else b"")
    return ERROR_SUCCESS


def no_class_or_time(system, lpClass, lpcchClass, lpftLastWriteTime):
    """The device keeps no key class or write time: an empty class, a zero time."""
    if lpClass:
        system.mem.put_u16(lpClass, 0)
        system.mem.put_u32(lpcchClass, 0)
    if lpftLastWriteTime:
        system.mem.write(lpftLastWriteTime, bytes(8))
    return ERROR_SUCCESS


@imported("coredll.dll", "RegEnumKeyExW")
def reg_enum_key_ex(system, hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass, lpftLastWriteTime):
    function = "RegEnumKeyExW"
    checks.not_null(function, "lpName", lpName)
    checks.not_null(function, "lpcchName", lpcchName)
    check_class_arguments(function, lpReserved, lpClass, lpcchClass)
    status, key = reached_key(system, function, hKey, KEY_ENUMERATE_SUB_KEYS, "KEY_ENUMERATE_SUB_KEYS")
    if status:
        return status
    subkeys = system.world.registry.subkeys(key) if key is not None else []
    if dwIndex >= len(subkeys):
        return ERROR_NO_MORE_ITEMS
    name = subkeys[dwIndex].path.rsplit("\\", 1)[1]
    if len(name) + 1 > system.mem.u32(lpcchName):
        return ERROR_MORE_DATA
    system.mem.write(lpName, (name + "\0").encode("utf-16-le"))
    system.mem.put_u32(lpcchName, len(name))
    return no_class_or_time(system, lpClass, lpcchClass, lpftLastWriteTime)


@imported("coredll.dll", "RegQueryInfoKeyW")
def reg_query_info_key(
    system,
    hKey,
    lpClass,
    lpcchClass,
    lpReserved,
    lpcSubKeys,
    lpcbMaxSubKeyLen,
    lpcbMaxClassLen,
    lpcValues,
    lpcbMaxValueNameLen,
    lpcbMaxValueLen,
    lpcbSecurityDescriptor,
    lpftLastWriteTime,
):
    function = "RegQueryInfoKeyW"
    check_class_arguments(function, lpReserved, lpClass, lpcchClass)
    status, key = reached_key(system, function, hKey, KEY_QUERY_VALUE, "KEY_QUERY_VALUE")
    if status:
        return status
    if key is None:
        return ERROR_FILE_NOT_FOUND
    subkeys = system.world.registry.subkeys(key)
    values = list(key.values.values())
    answers = {
        lpcSubKeys: len(subkeys),
        lpcbMaxSubKeyLen: max((len(sub.path.rsplit("\\", 1)[1]) for sub in subkeys), default=0),
        lpcbMaxClassLen: 0,
        lpcValues: len(values),
        lpcbMaxValueNameLen: max((len(value.name) for value in values), default=0),
        lpcbMaxValueLen: max((len(value.data) for value in values), default=0),
        lpcbSecurityDescriptor: 0,
    }
    for pointer, answer in answers.items():
        if pointer:
            system.mem.put_u32(pointer, answer)
    return no_class_or_time(system, lpClass, lpcchClass, lpftLastWriteTime)


@imported("coredll.dll", "RegCloseKey")
def reg_close_key(system, hKey):
    if hKey == 0:
        return ERROR_INVALID_HANDLE
    if hKey not in PREDEFINED:
        checks.live(system, "RegCloseKey", "hKey", hKey, KEY)
        system.handles.close(hKey, KEY)
    return ERROR_SUCCESS

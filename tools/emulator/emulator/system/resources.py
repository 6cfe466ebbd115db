"""Resources of the calling process's image: found, loaded (a loaded resource
is its data, in place in the image) and strings read from the string table."""

from emulator import resources
from emulator.api import imported, to_signed
from emulator.errors import ApiMisuse, EmulationError
from emulator.system import checks

ERROR_RESOURCE_NAME_NOT_FOUND = 1814


def module_base(system, function, handle):
    """The image's base for its module handle; NULL stands for it too."""
    base = system.program.base
    if handle not in (0, base):
        raise ApiMisuse(f"{function}: hModule 0x{handle:08X} is not a loaded module (the image is at 0x{base:08X})")
    return base


def resource_id(system, function, argument, pointer):
    """A resource's number (MAKEINTRESOURCE) or name."""
    if pointer < 0x10000:
        return checks.not_null(function, argument, pointer)
    return checks.text(system, function, argument, pointer)


def find(system, function, module, name, kind):
    """(address, size) of the resource in the process's memory, or None."""
    base = module_base(system, function, module)
    found = resources.locate(system.program.pe, kind, name)
    if found is None:
        system.last_error = ERROR_RESOURCE_NAME_NOT_FOUND
        return None
    return base + found[0], found[1]


def resource_bytes(system, function, module, name, kind):
    found = find(system, function, module, name, kind)
    return None if found is None else system.mem.read(*found)


@imported("coredll.dll", "GetModuleHandleW")
def get_module_handle(system, lpModuleName):
    if lpModuleName != 0:
        raise EmulationError("GetModuleHandleW: a module by name is not modelled")
    return system.program.base


@imported("coredll.dll", "FindResourceW")
def find_resource(system, hModule, lpName, lpType):
    name = resource_id(system, "FindResourceW", "lpName", lpName)
    kind = resource_id(system, "FindResourceW", "lpType", lpType)
    found = find(system, "FindResourceW", hModule, name, kind)
    return 0 if found is None else system.handles.new("resource", found)


@imported("coredll.dll", "LoadResource")
def load_resource(system, hModule, hResInfo):
    module_base(system, "LoadResource", hModule)
    return checks.live(system, "LoadResource", "hResInfo", hResInfo, "resource")[0]


@imported("coredll.dll", "LoadStringW")
def load_string(system, hInstance, uID, lpBuffer, nBufferMax):
    capacity = to_signed(nBufferMax)
    if capacity < 0:
        raise ApiMisuse(f"LoadStringW: nBufferMax is {capacity}")
    if capacity == 0:
        raise EmulationError("LoadStringW: the read-only pointer form (nBufferMax 0) is not modelled")
    checks.not_null("LoadStringW", "lpBuffer", lpBuffer)
    block = resource_bytes(system, "LoadStringW", hInstance, uID // resources.STRINGS_PER_BLOCK + 1,
                           resources.RT_STRING)
    if block is None:
        return 0
    text = resources.string_in_block(block, uID % resources.STRINGS_PER_BLOCK)
    return system.mem.put_wstr(lpBuffer, text, capacity) if text else 0

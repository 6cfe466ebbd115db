"""File searches, deletion, shortcuts and special folders, over the world's
files, with the simulated handheld's rules (platform/sim/sim_storage.h,
sim_files.h): a search matches the files whose folder is the pattern's folder
(the text before its last backslash) and whose names match its last part, *
any run of characters, ? exactly one, a ".*" that ends the pattern also
matching a name without it; it takes its matches when it begins."""

import struct

from emulator.api import imported
from emulator.registry_store import folded
from emulator.system import checks
from emulator.system.checks import ERROR_FILE_NOT_FOUND, ERROR_NO_MORE_FILES, INVALID_HANDLE_VALUE, MAX_PATH
from emulator.world import File

SEARCH = "file search"
FIND_DATA_SIZE = 560
FIND_DATA_NAME = 40
FILE_ATTRIBUTE_NORMAL = 0x80
FILE_CAPACITY = 32  # the simulated handheld's file table


class Search:
    def __init__(self, matches):
        self.matches = matches  # (name, attributes), the one it stands on first
        self.next = 1


def name_matches(pattern, name):
    """The walk of sim_storage.cpp: at a mismatch the last * takes one more
    character."""
    p = n = 0
    after_star = None
    star_takes_up_to = 0
    while n < len(name):
        if p < len(pattern) and pattern[p] == "*":
            p += 1
            after_star, star_takes_up_to = p, n
        elif p < len(pattern) and (pattern[p] == "?" or folded(pattern[p]) == folded(name[n])):
            p += 1
            n += 1
        elif after_star is not None:
            star_takes_up_to += 1
            p, n = after_star, star_takes_up_to
        else:
            return False
    rest = pattern[p:].lstrip("*")
    return rest in ("", ".*")


def split(path):
    folder, _, name = path.rpartition("\\")
    return folder, name


def put_find_data(system, address, name, attributes):
    record = struct.pack("<I36x", attributes) + (name + "\0").encode("utf-16-le")
    system.mem.write(address, record + bytes(FIND_DATA_SIZE - len(record)))


def begin(system, matches, record):
    """The search handle with the first match written, or INVALID_HANDLE_VALUE."""
    if not matches:
        system.last_error = ERROR_NO_MORE_FILES
        return INVALID_HANDLE_VALUE
    put_find_data(system, record, *matches[0])
    return system.handles.new(SEARCH, Search(matches))


def step(system, function, handle, record):
    checks.not_null(function, "lpFindFileData", record)
    search = checks.live(system, function, "hFindFile", handle, SEARCH)
    if search.next == len(search.matches):
        system.last_error = ERROR_NO_MORE_FILES
        return 0
    put_find_data(system, record, *search.matches[search.next])
    search.next += 1
    return 1


def file_index(world, path):
    return next((index for index, file in enumerate(world.files) if folded(file.path) == folded(path)), None)


@imported("coredll.dll", "FindFirstFileW")
def find_first_file(system, lpFileName, lpFindFileData):
    pattern = checks.text(system, "FindFirstFileW", "lpFileName", lpFileName, MAX_PATH)
    checks.not_null("FindFirstFileW", "lpFindFileData", lpFindFileData)
    folder, wanted = split(pattern)
    matches = []
    for file in system.world.files:
        in_folder, name = split(file.path)
        if folded(in_folder) == folded(folder) and name_matches(wanted, name):
            matches.append((name, FILE_ATTRIBUTE_NORMAL))
    handle = begin(system, matches, lpFindFileData)
    if handle == INVALID_HANDLE_VALUE:
        system.last_error = ERROR_FILE_NOT_FOUND
    return handle


@imported("coredll.dll", "FindNextFileW")
def find_next_file(system, hFindFile, lpFindFileData):
    return step(system, "FindNextFileW", hFindFile, lpFindFileData)


@imported("coredll.dll", "FindClose")
def find_close(system, hFindFile):
    return checks.close(system, "FindClose", "hFindFile", hFindFile, SEARCH)


@imported("coredll.dll", "DeleteFileW")
def delete_file(system, lpFileName):
    path = checks.text(system, "DeleteFileW", "lpFileName", lpFileName, MAX_PATH)
    index = file_index(system.world, path)
    if index is None:
        system.last_error = ERROR_FILE_NOT_FOUND
        return 0
    del system.world.files[index]
    return 1


@imported("coredll.dll", "SHCreateShortcut")
def sh_create_shortcut(system, szShortcut, szTarget):
    """As the simulated handheld makes one: a path from the root that fits, a
    target that is not empty and fits; a file already there takes the target."""
    path = checks.text(system, "SHCreateShortcut", "szShortcut", szShortcut)
    target = checks.text(system, "SHCreateShortcut", "szTarget", szTarget)
    world = system.world
    index = file_index(world, path)
    fits = len(path) < MAX_PATH and 0 < len(target) < MAX_PATH and path.startswith("\\")
    if not fits or (index is None and len(world.files) == FILE_CAPACITY):
        return 0
    if index is None:
        world.files.append(File(path, target))
    else:
        world.files[index].target = target
    return 1


@imported("coredll.dll", "SHGetSpecialFolderPath")
def sh_get_special_folder_path(system, hwndOwner, lpszPath, nFolder, fCreate):
    """lpszPath has room for MAX_PATH characters; an unknown folder gives FALSE."""
    checks.not_null("SHGetSpecialFolderPath", "lpszPath", lpszPath)
    path = system.world.folders.get(nFolder, "")
    if path == "":
        return 0
    system.mem.write(lpszPath, (path + "\0").encode("utf-16-le"))
    return 1

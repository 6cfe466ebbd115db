"""Processes: Tool Help's snapshots, opening and ending a process, starting a
program, and CloseHandle for every kind of handle that CloseHandle ends.

As on the simulated handheld (platform/sim/sim_processes.h, sim_programs.h): a
snapshot copies the process table when it is taken; a process handle stands
for the id it opened, stays open after that process ended, and ends a process
only while one with that id runs; the kernel (nk.exe) refuses to be ended. The
handheld starts only the programs it has (names compare exactly); a program
that runs already is not started again."""

import struct

from emulator.api import imported
from emulator.errors import ApiMisuse
from emulator.system import checks
from emulator.system.checks import ERROR_FILE_NOT_FOUND, ERROR_INVALID_PARAMETER, ERROR_NO_MORE_FILES, MAX_PATH

SNAPSHOT = "process snapshot"
PROCESS = "process"
THREAD = "thread"
MUTEX = "mutex"
CLOSE_HANDLE_KINDS = (PROCESS, THREAD, MUTEX)

TH32CS_SNAPPROCESS = 0x00000002
PROCESS_ENTRY_SIZE = 564
COMMAND_LINE_CAPACITY = 260  # a longer command line starts nothing
STARTED_THREADS = 1
ACCESS_DENIED = 5


class Snapshot:
    def __init__(self, processes):
        self.processes = [(process.pid, process.threads, process.name) for process in processes]
        self.next = 0


@imported("toolhelp.dll", "CreateToolhelp32Snapshot")
def create_toolhelp32_snapshot(system, dwFlags, th32ProcessID):
    if dwFlags & TH32CS_SNAPPROCESS == 0:
        raise ApiMisuse(f"CreateToolhelp32Snapshot: dwFlags 0x{dwFlags:08X} asks for no processes")
    return system.handles.new(SNAPSHOT, Snapshot(system.world.processes))


def walk(system, function, hSnapshot, lppe, first):
    snapshot = checks.live(system, function, "hSnapshot", hSnapshot, SNAPSHOT)
    checks.not_null(function, "lppe", lppe)
    checks.record_size(function, "lppe->dwSize", system.mem.u32(lppe), PROCESS_ENTRY_SIZE)
    if first:
        snapshot.next = 0
    if snapshot.next == len(snapshot.processes):
        system.last_error = ERROR_NO_MORE_FILES
        return 0
    pid, threads, name = snapshot.processes[snapshot.next]
    snapshot.next += 1
    entry = struct.pack("<9I", PROCESS_ENTRY_SIZE, 1, pid, 0, 0, threads, 0, 0, 0)
    entry += (name + "\0").encode("utf-16-le")
    system.mem.write(lppe, entry + bytes(PROCESS_ENTRY_SIZE - len(entry)))
    return 1


@imported("toolhelp.dll", "Process32First")
def process32_first(system, hSnapshot, lppe):
    return walk(system, "Process32First", hSnapshot, lppe, first=True)


@imported("toolhelp.dll", "Process32Next")
def process32_next(system, hSnapshot, lppe):
    return walk(system, "Process32Next", hSnapshot, lppe, first=False)


@imported("toolhelp.dll", "CloseToolhelp32Snapshot")
def close_toolhelp32_snapshot(system, hSnapshot):
    return checks.close(system, "CloseToolhelp32Snapshot", "hSnapshot", hSnapshot, SNAPSHOT)


@imported("coredll.dll", "OpenProcess")
def open_process(system, fdwAccess, fInherit, IDProcess):
    """The device ignores the access asked for; its SDK wants no inheritance."""
    checks.null("OpenProcess", "fInherit", fInherit)
    if system.world.process_with_id(IDProcess) is None:
        system.last_error = ERROR_INVALID_PARAMETER
        return 0
    return system.handles.new(PROCESS, IDProcess)


@imported("coredll.dll", "TerminateProcess")
def terminate_process(system, hProcess, uExitCode):
    pid = checks.live(system, "TerminateProcess", "hProcess", hProcess, PROCESS)
    world = system.world
    process = world.process_with_id(pid)
    if process is None or world.is_kernel(process):
        system.last_error = ERROR_INVALID_PARAMETER if process is None else ACCESS_DENIED
        return 0
    world.end_process(pid)
    return 1


@imported("coredll.dll", "CreateProcessW")
def create_process(
    system,
    pszImageName,
    pszCmdLine,
    psaProcess,
    psaThread,
    fInheritHandles,
    fdwCreate,
    pvEnvironment,
    pszCurDir,
    psiStartInfo,
    pProcInfo,
):
    """The device's SDK: no security attributes, inheritance, environment,
    folder or start-up record. pProcInfo, when given, gets a process and a
    thread handle that the caller must close."""
    function = "CreateProcessW"
    for name, value in (
        ("psaProcess", psaProcess),
        ("psaThread", psaThread),
        ("fInheritHandles", fInheritHandles),
        ("pvEnvironment", pvEnvironment),
        ("pszCurDir", pszCurDir),
        ("psiStartInfo", psiStartInfo),
    ):
        checks.null(function, name, value)
    image = checks.text(system, function, "pszImageName", pszImageName, MAX_PATH)
    command_line = "" if pszCmdLine == 0 else checks.text(system, function, "pszCmdLine", pszCmdLine)
    world = system.world
    if image not in world.programs or len(command_line) >= COMMAND_LINE_CAPACITY:
        system.last_error = ERROR_FILE_NOT_FOUND
        return 0
    process = world.process_named(image)
    pid = process.pid if process is not None else world.new_process(image, STARTED_THREADS)
    world.programs_started.append((image, command_line))
    if pProcInfo:
        handles = system.handles
        info = struct.pack("<4I", handles.new(PROCESS, pid), handles.new(THREAD, pid), pid, pid + 1)
        system.mem.write(pProcInfo, info)
    return 1


@imported("coredll.dll", "CloseHandle")
def close_handle(system, hObject):
    kind = next((kind for kind in CLOSE_HANDLE_KINDS if system.handles.find(hObject, kind) is not None), None)
    if kind is None:
        raise ApiMisuse(f"CloseHandle: 0x{hObject:08X} is not a live process, thread or mutex handle")
    system.handles.close(hObject, kind)
    return 1

"""Windows, their classes, the message queues and timers.

Windows are the handheld's: any process finds them and posts to them, and each
remembers the process that made it, whose queue gets its messages and whose
code runs its procedure. Classes, queues and the quit request belong to a
process. Time moves only when the driver lets it: a process with nothing
queued asks the driver to wait until its next timer is due. A timer's message
is made only when the queue is otherwise empty, as the system makes it."""

import struct
from collections import deque
from dataclasses import dataclass, field

from emulator.api import imported, to_signed
from emulator.errors import ApiMisuse, EmulationError
from emulator.system import checks

WM_CREATE = 0x0001
WM_DESTROY = 0x0002
WM_CLOSE = 0x0010
WM_QUIT = 0x0012
WM_COMMAND = 0x0111
WM_TIMER = 0x0113
WS_VISIBLE = 0x10000000
SW_HIDE = 0
GWL_USERDATA = -21
DWL_USER = 8
DIALOG_CLASS = "#32770"
FIRST_CLASS_ATOM = 0xC000
ERROR_CANNOT_FIND_WND_CLASS = 1407
ERROR_CLASS_ALREADY_EXISTS = 1410

MSG = struct.Struct("<IIIIIii")                  # hwnd, message, wParam, lParam, time, pt
WNDCLASSW = struct.Struct("<IIiiIIIIII")         # style, lpfnWndProc, ..., lpszClassName
CREATESTRUCTW = struct.Struct("<IIIIiiiiIIII")


@dataclass
class Window:
    handle: int
    owner: object          # the System whose process made it
    class_name: str
    title: str
    style: int
    procedure: int         # 0 for a control of the system's: nothing of the program's runs
    parent: int = 0
    id: int = 0
    visible: bool = False
    longs: dict = field(default_factory=dict)

    @property
    def is_dialog(self):
        return self.class_name == DIALOG_CLASS


@dataclass
class Message:
    window: int
    message: int
    wparam: int
    lparam: int


@dataclass
class Queue:
    messages: deque = field(default_factory=deque)
    quit_code: int = None


@dataclass
class Timer:
    window: Window
    id: int
    period: int
    due: int


class Windowing:
    def __init__(self):
        self.classes = {}   # System -> {upper-case name: (name, procedure)}
        self.windows = []   # live, oldest first
        self.queues = {}    # System -> Queue
        self.timers = []
        self.next_atom = FIRST_CLASS_ATOM

    def queue(self, system):
        return self.queues.setdefault(system, Queue())

    def process_timers(self, system):
        return [timer for timer in self.timers if timer.window.owner is system]


def windowing(system):
    return system.state("windowing", Windowing)


def live_window(system, function, argument, handle):
    return checks.live(system, function, argument, handle, "window")


def add_window(system, class_name, title, style, procedure, parent=0, control_id=0):
    """A window with no message sent yet."""
    window = Window(0, system, class_name, title, style, procedure, parent, control_id,
                    bool(style & WS_VISIBLE))
    window.handle = system.handles.new("window", window)
    windowing(system).windows.append(window)
    return window


def children(system, window):
    return [each for each in windowing(system).windows if each.parent == window.handle]


def send(window, message, wparam, lparam):
    """Calls the window's procedure in its owner's process, as the system sends."""
    if window.procedure == 0:
        return 0
    return window.owner.call(window.procedure, window.handle, message, wparam, lparam)


def destroy(system, window):
    send(window, WM_DESTROY, 0, 0)
    for child in children(system, window):
        destroy(system, child)
    state = windowing(system)
    state.windows.remove(window)
    state.timers = [timer for timer in state.timers if timer.window is not window]
    for queue in state.queues.values():
        queue.messages = deque(m for m in queue.messages if m.window != window.handle)
    system.handles.close(window.handle, "window")


def post_message(system, handle, message, wparam, lparam):
    """Posts to the window's owner, or to the caller's own queue for handle 0;
    False when the handle is no live window. What the driver's taps and
    presses do too."""
    window = None if handle == 0 else system.handles.find(handle, "window")
    if handle != 0 and window is None:
        return False
    owner = system if window is None else window.owner
    windowing(system).queue(owner).messages.append(Message(handle, message, wparam, lparam))
    return True


def post_quit(system, exit_code):
    windowing(system).queue(system).quit_code = exit_code


def dispatch(system, message):
    if message.window == 0:
        return 0
    window = live_window(system, "DispatchMessageW", "lpMsg->hwnd", message.window)
    if message.message == WM_TIMER and message.lparam != 0:
        raise EmulationError("DispatchMessageW: timer procedures are not modelled")
    return send(window, message.message, message.wparam, message.lparam)


def run_modal_loop(system):
    """What a message box's or a popup menu's own loop does while it is up: it
    delivers what is queued, and what that posts, in order; the quit request
    stays for the program's loop, and no time passes."""
    queue = windowing(system).queue(system)
    while queue.messages:
        dispatch(system, queue.messages.popleft())


def _post_due_timers(system, state):
    now = system.now_ms
    for timer in state.process_timers(system):
        if timer.due <= now:
            timer.due += timer.period * ((now - timer.due) // timer.period + 1)
            state.queue(system).messages.append(Message(timer.window.handle, WM_TIMER, timer.id, 0))


def next_message(system):
    state = windowing(system)
    queue = state.queue(system)
    while True:
        if queue.messages:
            return queue.messages.popleft()
        if queue.quit_code is not None:
            code, queue.quit_code = queue.quit_code, None
            return Message(0, WM_QUIT, code & 0xFFFFFFFF, 0)
        due = min((timer.due for timer in state.process_timers(system)), default=None)
        if due is None or due > system.now_ms:
            system.driver.wait_for_script(system, due)
            continue
        _post_due_timers(system, state)


def _read_message(system, function, pointer):
    checks.not_null(function, "lpMsg", pointer)
    hwnd, message, wparam, lparam, *_ = MSG.unpack(system.mem.read(pointer, MSG.size))
    return Message(hwnd, message, wparam, lparam)


def _class_name(system, function, argument, pointer):
    if 0 < pointer < 0x10000:
        raise EmulationError(f"{function}: {argument} as a class atom is not modelled")
    return checks.text(system, function, argument, pointer)


def _same_name(a, b):
    return a.upper() == b.upper()


@imported("coredll.dll", "RegisterClassW")
def register_class(system, lpWndClass):
    checks.not_null("RegisterClassW", "lpWndClass", lpWndClass)
    fields = WNDCLASSW.unpack(system.mem.read(lpWndClass, WNDCLASSW.size))
    procedure = checks.not_null("RegisterClassW", "lpWndClass->lpfnWndProc", fields[1])
    name = _class_name(system, "RegisterClassW", "lpWndClass->lpszClassName", fields[9])
    state = windowing(system)
    classes = state.classes.setdefault(system, {})
    if name.upper() in classes:
        system.last_error = ERROR_CLASS_ALREADY_EXISTS
        return 0
    classes[name.upper()] = (name, procedure)
    state.next_atom += 1
    return state.next_atom - 1


@imported("coredll.dll", "CreateWindowExW")
def create_window(system, dwExStyle, lpClassName, lpWindowName, dwStyle, X, Y, nWidth, nHeight,
                  hWndParent, hMenu, hInstance, lpParam):
    name = _class_name(system, "CreateWindowExW", "lpClassName", lpClassName)
    title = system.mem.wstr_or_none(lpWindowName) or ""
    if hWndParent != 0:
        live_window(system, "CreateWindowExW", "hWndParent", hWndParent)
    found = windowing(system).classes.get(system, {}).get(name.upper())
    if found is None:
        system.last_error = ERROR_CANNOT_FIND_WND_CLASS
        return 0
    window = add_window(system, found[0], title, dwStyle, found[1], hWndParent)
    record = system.arena.allocate(CREATESTRUCTW.size)
    system.mem.write(record, CREATESTRUCTW.pack(lpParam, hInstance, hMenu, hWndParent, nHeight, nWidth,
                                                Y, X, dwStyle, lpWindowName, lpClassName, dwExStyle))
    if to_signed(send(window, WM_CREATE, 0, record)) == -1:
        destroy(system, window)
        return 0
    return window.handle


@imported("coredll.dll", "DefWindowProcW")
def default_window_procedure(system, hWnd, Msg, wParam, lParam):
    window = live_window(system, "DefWindowProcW", "hWnd", hWnd)
    if Msg == WM_CLOSE:
        destroy(system, window)
    return 0


@imported("coredll.dll", "DestroyWindow")
def destroy_window(system, hWnd):
    destroy(system, live_window(system, "DestroyWindow", "hWnd", hWnd))
    return 1


@imported("coredll.dll", "ShowWindow")
def show_window(system, hWnd, nCmdShow):
    window = live_window(system, "ShowWindow", "hWnd", hWnd)
    was_visible = window.visible
    window.visible = nCmdShow != SW_HIDE
    return int(was_visible)


@imported("coredll.dll", "SetForegroundWindow")
def set_foreground_window(system, hWnd):
    live_window(system, "SetForegroundWindow", "hWnd", hWnd)
    return 1


def _long_slot(system, function, hWnd, nIndex):
    window = live_window(system, function, "hWnd", hWnd)
    index = to_signed(nIndex)
    if index == DWL_USER and not window.is_dialog:
        raise ApiMisuse(f"{function}: nIndex DWL_USER is for a dialog; 0x{hWnd:08X} is a {window.class_name}")
    if index not in (GWL_USERDATA, DWL_USER):
        raise EmulationError(f"{function}: window long {index} is not modelled")
    return window, index


@imported("coredll.dll", "GetWindowLongW")
def get_window_long(system, hWnd, nIndex):
    window, index = _long_slot(system, "GetWindowLongW", hWnd, nIndex)
    return window.longs.get(index, 0)


@imported("coredll.dll", "SetWindowLongW")
def set_window_long(system, hWnd, nIndex, dwNewLong):
    window, index = _long_slot(system, "SetWindowLongW", hWnd, nIndex)
    previous = window.longs.get(index, 0)
    window.longs[index] = dwNewLong
    return previous


def _copy_out(system, function, buffer, capacity, text):
    capacity = to_signed(capacity)
    if capacity <= 0:
        return 0
    checks.not_null(function, "the buffer", buffer)
    return system.mem.put_wstr(buffer, text, capacity)


@imported("coredll.dll", "GetClassNameW")
def get_class_name(system, hWnd, lpClassName, nMaxCount):
    window = live_window(system, "GetClassNameW", "hWnd", hWnd)
    return _copy_out(system, "GetClassNameW", lpClassName, nMaxCount, window.class_name)


@imported("coredll.dll", "GetWindowTextW")
def get_window_text(system, hWnd, lpString, nMaxCount):
    window = live_window(system, "GetWindowTextW", "hWnd", hWnd)
    return _copy_out(system, "GetWindowTextW", lpString, nMaxCount, window.title)


@imported("coredll.dll", "SetWindowTextW")
def set_window_text(system, hWnd, lpString):
    window = live_window(system, "SetWindowTextW", "hWnd", hWnd)
    window.title = system.mem.wstr_or_none(lpString) or ""
    return 1


@imported("coredll.dll", "FindWindowW")
def find_window(system, lpClassName, lpWindowName):
    """The top-level window, newest first, whose class and title match those
    given (either may be NULL), without regard to case."""
    name = None if lpClassName == 0 else _class_name(system, "FindWindowW", "lpClassName", lpClassName)
    title = system.mem.wstr_or_none(lpWindowName)
    for window in reversed(windowing(system).windows):
        if (window.parent == 0 and (name is None or _same_name(window.class_name, name))
                and (title is None or _same_name(window.title, title))):
            return window.handle
    return 0


@imported("coredll.dll", "GetDlgItem")
def get_dialog_item(system, hDlg, nIDDlgItem):
    dialog = live_window(system, "GetDlgItem", "hDlg", hDlg)
    wanted = nIDDlgItem & 0xFFFF
    return next((child.handle for child in children(system, dialog) if child.id == wanted), 0)


@imported("coredll.dll", "PostMessageW")
def post_message_w(system, hWnd, Msg, wParam, lParam):
    if hWnd != 0:
        live_window(system, "PostMessageW", "hWnd", hWnd)
    return int(post_message(system, hWnd, Msg, wParam, lParam))


@imported("coredll.dll", "PostQuitMessage")
def post_quit_message(system, nExitCode):
    post_quit(system, nExitCode)


@imported("coredll.dll", "GetMessageW")
def get_message(system, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax):
    checks.not_null("GetMessageW", "lpMsg", lpMsg)
    if hWnd or wMsgFilterMin or wMsgFilterMax:
        raise EmulationError("GetMessageW: filtering by window or message is not modelled")
    message = next_message(system)
    system.mem.write(lpMsg, MSG.pack(message.window, message.message, message.wparam, message.lparam,
                                     system.now_ms & 0xFFFFFFFF, 0, 0))
    return 0 if message.message == WM_QUIT else 1


@imported("coredll.dll", "TranslateMessage")
def translate_message(system, lpMsg):
    _read_message(system, "TranslateMessage", lpMsg)
    return 0  # no key messages: nothing to translate


@imported("coredll.dll", "DispatchMessageW")
def dispatch_message(system, lpMsg):
    return dispatch(system, _read_message(system, "DispatchMessageW", lpMsg))


@imported("coredll.dll", "SetTimer")
def set_timer(system, hWnd, nIDEvent, uElapse, lpTimerFunc):
    if hWnd == 0 or lpTimerFunc != 0 or uElapse == 0:
        raise EmulationError("SetTimer: only a window's timer with a period and no procedure is modelled")
    window = live_window(system, "SetTimer", "hWnd", hWnd)
    state = windowing(system)
    state.timers = [t for t in state.timers if not (t.window is window and t.id == nIDEvent)]
    state.timers.append(Timer(window, nIDEvent, uElapse, system.now_ms + uElapse))
    return nIDEvent

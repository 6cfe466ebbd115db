"""Message boxes: while one is up its loop delivers the program's queued
messages; the scenario's driver gives the answer."""

from emulator.api import imported
from emulator.system import checks
from emulator.system.windows import live_window, run_modal_loop
from emulator.trace import quoted

DEFAULT_CAPTION = "Error"


@imported("coredll.dll", "MessageBoxW")
def message_box(system, hWnd, lpText, lpCaption, uType):
    if hWnd != 0:
        live_window(system, "MessageBoxW", "hWnd", hWnd)
    text = checks.text(system, "MessageBoxW", "lpText", lpText)
    caption = DEFAULT_CAPTION if lpCaption == 0 else checks.text(system, "MessageBoxW", "lpCaption", lpCaption)
    run_modal_loop(system)
    answer = system.driver.answer_message_box(system, text, caption, uType)
    system.trace.line(f"messagebox {quoted(caption)} {quoted(text)} 0x{uType:08X} answer {answer}")
    return answer

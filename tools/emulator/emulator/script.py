"""The simulated handheld's script language, read the same way here: one
command a line, `#` starts a comment, a word in double quotes keeps its
blanks. The simulated handheld has already refused any script that is not
well formed by the time the harness runs it, so errors here name the line and
stop."""

import shlex
from dataclasses import dataclass

from emulator.errors import ScenarioFailure

ANSWERS = {"yes": 6, "no": 7, "ok": 1}
ROTATIONS = {"0": 0, "90": 1, "180": 2, "270": 4}   # DMDO_0, DMDO_90, DMDO_180, DMDO_270
PLAIN = ("tap", "ok", "show", "quit")
WORLD_NUMBERS = ("cccr", "battery", "load", "end")


@dataclass
class Command:
    line: int
    text: str      # as written, trimmed, without its comment
    verb: str      # wait, tap, choose, answer, ok, show, quit, second, world
    what: str = "" # the world command's kind
    number: int = 0
    word: str = "" # a choice's text, a program's name or a command line
    by_id: bool = False


def _without_comment(line):
    quoted = False
    for index, character in enumerate(line):
        if character == '"':
            quoted = not quoted
        elif character == "#" and not quoted:
            return line[:index]
    return line


def _number(text):
    if not text or not text[0].isdigit():
        raise ValueError(text)
    return int(text, 0)


def _parse(number, text):
    words = shlex.split(text, posix=True)
    verb = words[0]
    command = Command(number, text, verb)
    if verb in PLAIN:
        return command
    if verb == "wait":
        command.number = _number(words[1])
    elif verb == "choose":
        command.word = words[1]
        command.by_id = words[1].isdigit()
        command.number = int(words[1]) if command.by_id else 0
    elif verb == "answer":
        command.number = ANSWERS[words[1]]
    elif verb == "second":
        command.word = words[1]
    elif verb == "world":
        command.what = words[1]
        if command.what in WORLD_NUMBERS:
            command.number = _number(words[2])
        elif command.what == "rotate":
            command.number = ROTATIONS[words[2]]
        elif command.what in ("power", "memory", "start", "fault"):
            command.word = words[2]
            command.number = _number(words[3]) if len(words) > 3 else 0
        else:
            raise ValueError(command.what)
    else:
        raise ValueError(verb)
    return command


def parse_script(text):
    commands = []
    for number, line in enumerate(text.splitlines(), start=1):
        body = _without_comment(line).strip()
        if not body:
            continue
        try:
            commands.append(_parse(number, body))
        except (ValueError, IndexError, KeyError):
            raise ScenarioFailure(f"line {number}: cannot read {body!r}") from None
    return commands

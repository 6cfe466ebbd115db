"""Reading the `world ...` lines of the simulated handheld's trace into words.

A line is words separated by blanks; a quoted word keeps its blanks and has
\\\\, \\" and \\n escaped, as trace.quoted writes it. Every line kind has a
pattern of fields here; a line that does not fit its pattern is an error
naming the line."""

from emulator.errors import EmulationError

ESCAPES = {"\\": "\\", '"': '"', "n": "\n"}


class Quoted(str):
    """A word that was written in quotes."""


class BadWorldLine(EmulationError):
    pass


def words_of(text, line):
    words = []
    at = 0
    while at < len(text):
        if text[at] == " ":
            at += 1
        elif text[at] == '"':
            word, at = quoted_word(text, at + 1, line)
            words.append(word)
        else:
            end = text.find(" ", at)
            end = len(text) if end < 0 else end
            words.append(text[at:end])
            at = end
    return words


def quoted_word(text, at, line):
    chars = []
    while at < len(text):
        char = text[at]
        if char == '"':
            return Quoted("".join(chars)), at + 1
        if char == "\\":
            escaped = ESCAPES.get(text[at + 1 : at + 2])
            if escaped is None:
                raise BadWorldLine(f"bad escape in world line: {line}")
            chars.append(escaped)
            at += 2
        else:
            chars.append(char)
            at += 1
    raise BadWorldLine(f"unclosed quote in world line: {line}")


def number(word, line):
    if isinstance(word, Quoted):
        raise BadWorldLine(f"a number is quoted in world line: {line}")
    try:
        return int(word, 0)
    except ValueError:
        raise BadWorldLine(f"{word!r} is not a number in world line: {line}") from None


def text(word, line):
    if not isinstance(word, Quoted):
        raise BadWorldLine(f"{word!r} is not quoted in world line: {line}")
    return str(word)


def fields(words, pattern, line):
    """The values of words matched against pattern: "n" a number, "t" a quoted
    text, "w" a plain word, any other entry a keyword that must stand there."""
    if len(words) != len(pattern):
        raise BadWorldLine(f"{len(pattern)} fields expected, {len(words)} found in world line: {line}")
    values = []
    for word, kind in zip(words, pattern):
        if kind == "n":
            values.append(number(word, line))
        elif kind == "t":
            values.append(text(word, line))
        elif kind == "w":
            values.append(str(word))
        elif word != kind or isinstance(word, Quoted):
            raise BadWorldLine(f"{kind!r} expected, {word!r} found in world line: {line}")
    return values

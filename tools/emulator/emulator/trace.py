"""What a run shows, one observation a line, in the format the simulated
handheld's --trace writes (platform/sim/terminal/trace.h describes each line),
so that the two can be compared line by line."""


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n") + '"'


class Trace:
    def __init__(self):
        self.lines = []

    def line(self, text):
        self.lines.append(text)

    def text(self):
        return "".join(line + "\n" for line in self.lines)

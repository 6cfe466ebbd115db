"""Two traces of one scenario, the simulated handheld's and the emulated
image's, compared line by line; `world` lines describe the set-up and are not
compared. A difference is told by scenario and step, with both runs' lines side
by side."""

CONTEXT_LINES = 6
COLUMN = 58


def compared_lines(text):
    return [line for line in text.splitlines() if not line.startswith("world ")]


def _step_at(lines, index):
    for line in reversed(lines[:index + 1]):
        if line.startswith("step "):
            return line[len("step "):]
    return "start-up (before the script's first command)"


def _cell(lines, index):
    return lines[index] if index < len(lines) else "(nothing)"


def difference(scenario, simulated, emulated):
    """None when the traces agree, else the report of their first difference."""
    left, right = compared_lines(simulated), compared_lines(emulated)
    index = next((n for n in range(max(len(left), len(right)))
                  if _cell(left, n) != _cell(right, n)), None)
    if index is None:
        return None
    rows = [f"{scenario}: the runs differ at step {_step_at(left, index)} (trace line {index + 1})",
            f"  {'simulated handheld':<{COLUMN}} | emulated image"]
    for n in range(max(0, index - 2), index + CONTEXT_LINES):
        if n >= len(left) and n >= len(right):
            break
        mark = ">" if _cell(left, n) != _cell(right, n) else " "
        rows.append(f"{mark} {_cell(left, n)[:COLUMN]:<{COLUMN}} | {_cell(right, n)}")
    return "\n".join(rows)

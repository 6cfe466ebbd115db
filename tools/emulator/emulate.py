#!/usr/bin/python3
"""Runs the handheld's images on the emulated handheld, each scenario also on
the simulated handheld, and compares what they show.

    emulate.py check [--jobs N] SCENARIO...   every scenario on both; exit 1 when any differs
    emulate.py trace [--variant N] SCENARIO   one scenario's emulated run: each imported
                                              function called, then the trace (register
                                              writes, icons, menus, dialogs, ...)
    emulate.py figures SCENARIO...            the program's own ARM instructions and its
                                              imported-function calls per operation, from
                                              each scenario's first variant; exit 1 when
                                              one is over its budget

--sim names tavil-sim (build/host/tavil-sim), --device the folder of the images
(build/device)."""

import argparse
import os
import sys
from concurrent.futures import ProcessPoolExecutor

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from emulator.errors import EmulationError  # noqa: E402
from emulator.figures import BUDGETS, over_budget  # noqa: E402
from emulator.scenario import check, emulated_trace, read_scenarios, simulated_trace  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")


def _check_one(arguments):
    scenario, simulator, device = arguments
    return scenario.name, check(scenario, simulator, device)


def check_all(options):
    work = [(scenario, options.sim, options.device)
            for path in options.scenarios for scenario in read_scenarios(path)]
    failures = 0
    with ProcessPoolExecutor(max_workers=options.jobs) as pool:
        for name, problem in pool.map(_check_one, work):
            print(f"{'ok  ' if problem is None else 'FAIL'} {name}")
            if problem is not None:
                print(problem)
                failures += 1
    print(f"{len(work) - failures} of {len(work)} scenarios show the same on both handhelds")
    return 1 if failures else 0


def trace_one(options):
    variants = read_scenarios(options.scenarios[0])
    scenario = variants[options.variant]

    def show_import(name, arguments, result):
        print(f"  {name}({', '.join(f'0x{value:X}' for value in arguments)}) = 0x{result:X}")

    try:
        simulated = simulated_trace(scenario, options.sim)
        print(f"== {scenario.name}: imported functions called")
        emulated = emulated_trace(scenario, simulated, options.device, show_import)
    except EmulationError as error:
        print(error, file=sys.stderr)
        return 1
    print(f"== {scenario.name}: trace")
    print(emulated, end="")
    print(f"== figures: {scenario.figures}")
    print(f"== processor faults handled: {len(scenario.fault_frames)}, each this many frames below "
          f"the handler's: {scenario.fault_frames}")
    return 0


def figures_of(options):
    measured = {}
    for path in options.scenarios:
        scenario = read_scenarios(path)[0]
        emulated_trace(scenario, simulated_trace(scenario, options.sim), options.device)
        measured.update(scenario.figures)
    print(f"| Operation | ARM instructions | Budget | Imported-function calls | Budget |")
    print("| --- | ---: | ---: | ---: | ---: |")
    for name, (instructions, imports) in measured.items():
        budget = BUDGETS.get(name, (None, None))
        print(f"| {name} | {instructions} | {budget[0] or ''} | {imports} | {budget[1] or ''} |")
    problems = over_budget(measured) + [f"{name}: not measured" for name in BUDGETS if name not in measured]
    for problem in problems:
        print(f"over budget: {problem}")
    return 1 if problems else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("action", choices=("check", "trace", "figures"))
    parser.add_argument("scenarios", nargs="+")
    parser.add_argument("--sim", default=os.path.join(ROOT, "build", "host", "tavil-sim"))
    parser.add_argument("--device", default=os.path.join(ROOT, "build", "device"))
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--variant", type=int, default=0, help="which `#!` line of the scenario to trace")
    options = parser.parse_args()
    actions = {"check": check_all, "trace": trace_one, "figures": figures_of}
    return actions[options.action](options)


if __name__ == "__main__":
    sys.exit(main())

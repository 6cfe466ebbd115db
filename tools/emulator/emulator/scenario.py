"""A scenario: a script of the simulated handheld whose first lines, each
`#! ...`, give tavil-sim's options and, after `--`, the program's command line:
each such line is a variant of the scenario, run on its own. Some
options are the harness's own: `--base ADDRESS` loads Tavil.exe away from its
preferred base (not passed on); `--install DLL` runs that setup DLL
(setup_wm5.dll, setup_wm2003se.dll) as the installer does instead of the
program (the simulated handheld gets `--install` with the DLL's target);
`--state FILE`, beside the scenario, is the handheld's registry and files to
start from (the simulated handheld gets a copy).

Both runs write a trace; `check` compares them."""

import os
import shlex
import shutil
import subprocess
import tempfile
import traceback
from dataclasses import dataclass, field

from emulator.compare import difference
from emulator.errors import EmulationError, ScenarioFailure
from emulator.figures import program_figures
from emulator.runs import ProgramRun, run_setup
from emulator.script import parse_script
from emulator.world import World

SIMULATED_RUN_SECONDS = 120
INSTALL_TARGETS = {"setup_wm5.dll": "5.1", "setup_wm2003se.dll": "4.21"}


@dataclass
class Scenario:
    name: str
    path: str
    sim_options: list
    command_line: str = ""
    base: int = None
    install: str = None
    state: str = None     # the handheld's registry and files to start from (a copy is used)
    figures: dict = field(default_factory=dict)
    fault_frames: list = field(default_factory=list)  # per fault handled: frames below the handler's


def _variant(path, header):
    words = shlex.split(header)
    options, command = (words[:words.index("--")], words[words.index("--") + 1:]) \
        if "--" in words else (words, [])
    name = os.path.splitext(os.path.basename(path))[0]
    scenario = Scenario(f"{name} [{header.strip()}]", path, [], " ".join(command))
    iterator = iter(options)
    for option in iterator:
        if option == "--base":
            scenario.base = int(next(iterator), 0)
        elif option == "--state":
            scenario.state = os.path.join(os.path.dirname(path), next(iterator))
        elif option == "--install":
            scenario.install = next(iterator)
            scenario.sim_options += ["--install", INSTALL_TARGETS[scenario.install]]
        else:
            scenario.sim_options.append(option)
    return scenario


def read_scenarios(path):
    """Every variant of the scenario in the file."""
    with open(path, encoding="utf-8") as stream:
        headers = [line[2:] for line in stream.read().splitlines() if line.startswith("#!")]
    if not headers:
        raise ScenarioFailure(f"{path}: a scenario begins with `#! OPTIONS [-- COMMAND LINE]` lines")
    return [_variant(path, header) for header in headers]


def simulated_trace(scenario, simulator):
    with tempfile.TemporaryDirectory(prefix="tavil-scenario-") as folder:
        trace = os.path.join(folder, "trace.txt")
        environment = dict(os.environ, TAVIL_RUN_FOLDER=folder, XDG_STATE_HOME=folder,
                           XDG_RUNTIME_DIR=folder)
        environment.pop("TAVIL_PROCESSOR", None)
        environment.pop("TAVIL_REGISTRY", None)
        state = os.path.join(folder, "state.txt")
        if scenario.state:
            shutil.copy(scenario.state, state)
        command = [simulator, *scenario.sim_options, "--state", state,
                   "--script", scenario.path, "--trace", trace]
        if scenario.command_line:
            command += ["--", scenario.command_line]
        done = subprocess.run(command, env=environment, capture_output=True, text=True,
                              timeout=SIMULATED_RUN_SECONDS, stdin=subprocess.DEVNULL)
        # Under --install the exit code is the install gate's answer (1: cancel).
        answered = scenario.install and done.returncode == 1 and os.path.exists(trace)
        if done.returncode != 0 and not answered:
            raise ScenarioFailure(f"tavil-sim exited with {done.returncode}: "
                                  f"{done.stderr.strip() or done.stdout.strip()[-400:]}")
        with open(trace, encoding="utf-8") as stream:
            return stream.read()


def emulated_trace(scenario, simulated, device_folder, listener=None):
    world = World.from_trace_lines(simulated.splitlines())
    if scenario.install:
        trace, machine = run_setup(world, device_folder, scenario.install, listener)
    else:
        with open(scenario.path, encoding="utf-8") as stream:
            commands = parse_script(stream.read())
        run = ProgramRun(world, commands, device_folder, scenario.base)
        machine = run.machine
        machine.import_listener = listener
        trace = run.run(scenario.command_line)
    scenario.figures = ({"Install_Init": machine.install_init_cost} if scenario.install
                        else program_figures(machine.events))
    scenario.fault_frames = machine.handled_fault_depths
    return trace.text()


def check(scenario, simulator, device_folder):
    """None when both runs show the same, else what differs (or why a run failed)."""
    try:
        simulated = simulated_trace(scenario, simulator)
        emulated = emulated_trace(scenario, simulated, device_folder)
    except EmulationError as error:
        return f"{scenario.name}: {error}"
    except Exception:  # a fault of the harness itself: report it with the scenario, go on
        return f"{scenario.name}: the harness failed:\n{traceback.format_exc()}"
    return difference(scenario.name, simulated, emulated)

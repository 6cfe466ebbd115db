"""The link tool's own test helpers (assemble ARM snippets, link them into a
PE image), for tests that need small images to run."""

import importlib.util
import os

_SUPPORT = os.path.join(os.path.dirname(__file__), "..", "..", "elf2pe", "tests", "support.py")
_spec = importlib.util.spec_from_file_location("elf2pe_test_support", _SUPPORT)
_support = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(_support)

Workspace = _support.Workspace
function = _support.function

"""The names of the system DLLs' functions by ordinal, as the system's export
tables give them: the harness reads them from the project's import list,
platform/win32/ce/imports.tsv, which records each coredll ordinal with the
public export definitions it was taken from."""

import os

IMPORT_LIST = os.path.join(os.path.dirname(__file__), "..", "..", "..", "platform", "win32", "ce",
                           "imports.tsv")


def ordinal_names(path=IMPORT_LIST):
    names = {}
    with open(path, encoding="utf-8") as stream:
        for line in stream:
            if line.startswith("#") or not line.strip():
                continue
            dll, function, ordinal = line.rstrip("\n").split("\t")[:3]
            if ordinal != "-":
                names[(dll.lower(), int(ordinal))] = function
    return names

"""What Tavil's cabinets install and record, one per target handheld.

Each cabinet installs Tavil.exe and tavil.htm into \\Windows (%CE2%), where
the program's autostart shortcut and its help command look for them, puts a
shortcut "Tavil" to \\Windows\\Tavil.exe into the Start menu's Programs folder
(%CE11%), and carries the target's setup DLL as its setup library, which the
installer calls before it copies anything.

Version range: exactly the Windows CE version of the target, min and max
alike (WM5: 5.1, WM2003 SE: 4.21), as the setup DLL requires. Builds: from 0
(no lower limit) up to 0xE0000000, the value the Windows Mobile installer
reads as "aware of square screens and screen rotation" and so no upper limit
on real build numbers: handhelds of one version run many builds.
"""

from dataclasses import dataclass

import cab_layout as layout
from cab_control import ControlFile, DirEntry, FileEntry, LinkEntry, StringEntry


@dataclass(frozen=True)
class Target:
    title: str
    ce_version: tuple  # (major, minor) as GetVersionEx reports them


TARGETS = {
    "wm5": Target("Windows Mobile 5.0", (5, 1)),
    "wm2003se": Target("Windows Mobile 2003 SE", (4, 21)),
}

APP_NAME = "Tavil"
PROVIDER = "Dunmar"
MIN_BUILD = 0
MAX_BUILD = 0xE0000000
PROGRAMS_MENU = 11  # %CE11%: \Windows\Start Menu\Programs on a Pocket PC

# The string table. As CabWiz writes control files, string 1 and directory 1
# are the default install folder (%InstallDir%, which the installer offers to
# put on a storage card); Tavil installs nothing there.
INSTALL_DIR_STRING = 1
WINDOWS_STRING = 2
SHORTCUT_STRING = 3
STRINGS = (
    StringEntry(INSTALL_DIR_STRING, layout.ce_dir(1) + "\\" + APP_NAME),
    StringEntry(WINDOWS_STRING, layout.ce_dir(2)),
    StringEntry(SHORTCUT_STRING, APP_NAME + ".lnk"),
)
INSTALL_DIR = 1
WINDOWS_DIR = 2
DIRS = (
    DirEntry(INSTALL_DIR, (INSTALL_DIR_STRING,)),
    DirEntry(WINDOWS_DIR, (WINDOWS_STRING,)),
)


@dataclass(frozen=True)
class InstalledFile:
    role: str  # which input supplies it
    number: int
    name: str


PROGRAM = InstalledFile("exe", 1, "Tavil.exe")
HELP = InstalledFile("help", 2, "tavil.htm")
INSTALLED_FILES = (PROGRAM, HELP)
# Always replaced, whatever the dates (a reinstall brings this build), and
# never skipped: the program and its help belong together.
FILE_FLAGS = layout.FILE_ALWAYS_OVERWRITE | layout.FILE_NO_SKIP


def control_file(target):
    major_minor = TARGETS[target].ce_version
    return ControlFile(
        app_name=APP_NAME,
        provider=PROVIDER,
        processor=layout.PROCESSOR_ARM,
        min_version=major_minor,
        max_version=major_minor,
        min_build=MIN_BUILD,
        max_build=MAX_BUILD,
        strings=STRINGS,
        dirs=DIRS,
        files=tuple(FileEntry(file.number, WINDOWS_DIR, file.number, FILE_FLAGS, file.name)
                    for file in INSTALLED_FILES),
        links=(LinkEntry(1, 0, PROGRAMS_MENU, PROGRAM.number, layout.LINK_TO_FILE,
                         (SHORTCUT_STRING,)),),
    )


def members(inputs):
    """`inputs`: role ("exe", "help", "setup") -> (file name, bytes); the
    cabinet's members by number."""
    carried = {file.number: (file.name, inputs[file.role][1]) for file in INSTALLED_FILES}
    carried[layout.SETUP_LIBRARY_NUMBER] = inputs["setup"]
    return carried

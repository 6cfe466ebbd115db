"""The world lines of a handheld just switched on, as the simulated handheld's
headers describe it (platform/sim/sim_handheld.h, sim_clock.h, sim_storage.h,
sim_system_info.h, sim_metrics.h, sim_display.h, sim_processes.cpp), with a
few files, a card and registry keys added for the tests."""

from emulator.world import World

LINES = [
    "world processor pxa27x mainid 0x69054117 cachetype 0x0B172172 cccr 0x00000290 cclkcfg 0x00000002",
    'world processor-info "ARM" "PXA270" "Intel Corporation" 416',
    'world version 5 1 14847 3 ""',
    "world locale 866 1251 1049 1049 -180",
    "world screen 240 320 16 32",
    "world display 0 7",
    "world memory 64 67108864 24117248",
    "world power 0 1 87 1 100 3950 -210 312 3100 4",
    "world clock 0 20 1 48000",
    "world store 33554432 22020096",
    'world card "Storage Card"',
    'world process 66990082 7 "nk.exe"',
    'world process 603294906 12 "filesys.exe"',
    'world process 60207782 1 "Tavil.exe"',
    'world file "\\\\Windows\\\\StartUp\\\\Tavil.lnk" shortcut "\\\\Windows\\\\Tavil.exe"',
    'world file "\\\\Windows\\\\Fonts\\\\tahoma.ttf"',
    'world file "\\\\Windows\\\\Fonts\\\\README"',
    'world file "\\\\Windows\\\\tahoma.ttf"',
    'world folder 7 "\\\\Windows\\\\StartUp"',
    'world program "peghelp.exe"',
    'world registry HKLM\\Drivers\\Display\\GPE "LogicalPixelsX" dword 0x000000C0',
    "world registry HKLM\\SOFTWARE\\Apps\\Zeta",
    'world registry HKLM\\SOFTWARE\\Apps\\alpha "Instl" dword 0x00000001',
    'world registry HKLM\\SOFTWARE\\Apps\\Beta "Name" sz "B \\"quoted\\""',
]


def switched_on_world():
    return World.from_trace_lines(LINES)

#pragma once
// The trace of a script run (--trace FILE): what the program shows, one
// observation a line, so that a run of the device's image on an emulator, which
// writes the same lines, can be compared with it line by line.
//
// UTF-8; every line ends with a newline, the last one too. Texts are quoted: in
// double quotes, with \ " and newline written \\ \" \n and every other character
// as it is. Numbers are decimal (negative ones with a minus) unless written
// 0x%08X, eight upper-case hex digits.
//
// At the start, before the program starts, the handheld as the options left it,
// each value as the handheld holds it (its query faults are not traced):
//   world processor KIND mainid 0x%08X cachetype 0x%08X cccr 0x%08X cclkcfg 0x%08X
//       KIND as --processor names it: pxa27x, pxa25x or none
//   world fault NAME                     each fault planted (--fault), in the
//       order of the processor's fault record: read-main-id, read-cache-type,
//       read-cclkcfg, write-cclkcfg, store-cccr, load-cccr, copy-cccr-page,
//       kernel-mode-refused; they stay planted for the run, over restarts too
//   world fault access N                 the N-th register access from now faults
//   world processor-info "CORE" "NAME" "VENDOR" MHZ
//       the processor record's fields in its order (platform/system_info.h)
//   world version MAJOR MINOR BUILD 3 ""
//       3: the Windows CE platform; the handheld has no service-pack text;
//       --os 5.1 gives 5 1 14847 (as switched on), --os 4.21 gives 4 21 1088
//   world locale OEM-CODE-PAGE ANSI-CODE-PAGE DEFAULT-LANGUAGE UI-LANGUAGE BIAS
//       language ids as numbers (Russian 1049, English 1033: --language sets
//       both), the bias in minutes
//   world screen WIDTH HEIGHT SMALL-ICON-WIDTH ICON-SIZE
//   world display ORIENTATION SUPPORTED-BITS   the orientation codes of the display
//   world memory LOAD-PERCENT TOTAL-BYTES FREE-BYTES
//   world power AC BATTERY-FLAG PERCENT BACKUP-FLAG BACKUP-PERCENT MV MA TENTHS-C
//               BACKUP-MV CHEMISTRY      (on one line: the power record's fields in order)
//   world clock NOW-MS LOAD-PERCENT IDLE-KEPT IDLE-COUNTER-MS   IDLE-KEPT 1 or 0
//   world store TOTAL-BYTES FREE-BYTES
//   world card "NAME"                    one a card, in the order inserted
//   world process ID THREADS "FILE"      one a process, in snapshot order; with
//       " system" at the end when the system starts it again at a restart
//   world file "PATH"  or  world file "PATH" shortcut "TARGET"   in the file table's order
//   world folder ID "PATH"               each special folder with a path (ID: 7 Startup)
//   world program "NAME"                 each installed program
//   world registry ...                   as the registry lines at the end
//
// Then, in the order they happen:
//   step L: TEXT   before a script command is carried out: L its line, TEXT the
//       line trimmed of blanks (a command line holds no comment: a script's
//       comments are whole lines, which are no commands); `world fault ...`
//       plants its fault then, as --fault names it
//   cccr 0x%08X / cclkcfg 0x%08X   each register write, before any other line
//       that follows it; more than SIM_REGISTER_LOG_CAPACITY writes between two
//       lines (or two waits for the script) fail the trace. A restart of the
//       handheld powers the processor on afresh, log and all: writes between the
//       last line and a restart are not seen (the program asks a message box
//       right before it restarts, so none fall there)
//   icon add SIZE / icon modify SIZE, then SIZE rows of SIZE pixels "AARRGGBB"
//       with one blank between, top row first, not indented: each add or modify
//       call that hands over an icon, as the program makes it (accepted or not);
//       SIZE 0 and no rows when the handle is no live icon. A transparent pixel
//       is 00000000, as the handheld keeps it.
//   icon delete    each delete call
//   menu, then its entries, two spaces deeper a submenu (its own at two):
//       `ID FLAGS "TEXT"`, `popup FLAGS "TEXT"` (its entries follow) or
//       `separator`; FLAGS x or - (checked), then g or - (greyed); TEXT as the
//       menu holds it, & kept. Then `chosen ID` (0: closed without a choice,
//       or the choice failed); the `step` of a choose line comes before it.
//   messagebox "CAPTION" "TEXT" 0x%08X answer N   after the `step` of its answer
//   dialog "CAPTION", then each control as ID "TEXT", not indented, ID the
//       template's 16-bit id (65535 for -1): at a wait for the script, for each
//       dialog open then that is new or shows other texts than last written
//       (oldest first), after a `dialog closed "CAPTION"` for each dialog written
//       that is gone (in the order they were written)
//   second exit N  a second copy's exit code
//   exit N         the program's exit code, after the last register writes
//   registry HKLM\PATH "NAME" dword 0x%08X | sz "TEXT" | binary HEX
//   registry HKLM\PATH                      a key without values (with subkeys or not)
//       the registry at the end, sorted by the key path as first created, then
//       the value name, each compared by the bytes of its UTF-8. HKLM: the
//       simulated registry is the local-machine root alone. dword: type 4 of 4
//       bytes; sz: type 1, its UTF-16 text up to the first NUL; binary: type 3,
//       its bytes in upper-case hex without blanks (none: the line ends with
//       "binary "). Any other value fails the trace, naming it.
//
// With --install the install gate runs instead of the program: the world
// lines, a messagebox line for the box it shows (after the `step` of its
// answer, when the script gives one), `exit N` with the gate's answer (0 go on,
// 1 cancel) and the registry lines.
//
// A trace that fails is removed with what it holds. Without a started trace
// the functions below do nothing.

#include "platform/menus.h"

#include <cstdint>
#include <string>

// Starts the trace in a new file at `path`, and watches the notification area;
// false when the file cannot be made.
bool startTrace(const std::string& path);

// The `world` lines.
void traceWorld();

void traceStep(int line, const std::string& text);

// At each wait for the script: the register writes and the dialogs.
void traceAtWait();

// The popup and its entries, then (once answered) what was chosen.
void traceMenu(MenuHandle menu);
void traceChosen(std::uint32_t id);

void traceMessageBox(const char16_t* text, const char16_t* caption, std::uint32_t style,
                     int answer);
void traceSecondExit(int exitCode);

// The program's exit code, then the registry.
void traceExit(int exitCode);

// Empty while nothing went wrong, else what could not be traced.
const std::string& traceFailure();

// Closes the trace: kept when `keep`, else removed; false when one to keep was
// not written whole (it is removed then too).
bool endTrace(bool keep);

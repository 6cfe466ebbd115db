#pragma once
// The script mode: a driver of the simulated handheld that runs the commands of
// a script (see FRONT_USAGE) while the program waits, answers menus and
// message boxes with the script's next line, and prints each screen as text.

#include "platform/sim/sim_processor.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ScriptVerb {
    Wait,
    Tap,
    ChooseId,
    ChooseText,
    Answer,
    Ok,
    WorldCccr,
    WorldPower,
    WorldBattery,
    WorldLoad,
    WorldMemory,
    WorldStart,
    WorldEnd,
    WorldRotate,
    WorldFault,
    Second,
    Show,
    Quit,
};

struct ScriptCommand {
    ScriptVerb verb;
    int line;
    // seconds, id, answer, CCCR, on/off, percent, process id, orientation, accesses
    std::uint32_t number;
    std::string text;    // entry text, program name, command line, fault name
    std::string written; // the line as written, trimmed of blanks
};

// Reads the whole script. On the first bad line returns false with `error`
// naming the line ("line 3: ...").
bool parseScript(const std::string& script, std::vector<ScriptCommand>& commands,
                 std::string& error);

// Makes the script the handheld's driver. Once the script has run out (or a
// command could not be carried out), the program is asked to close.
void startScript(std::vector<ScriptCommand> commands, SimProcessorKind processor);

// The first command not taken yet; nullptr when the script has run out.
const ScriptCommand* scriptCommandLeft();

// Empty while every command was carried out, else what went wrong and where.
const std::string& scriptFailure();

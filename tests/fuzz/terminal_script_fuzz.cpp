// The terminal simulator's script reader: any text as a script. A script that
// reads is run against the program on a fresh handheld (when it is short
// enough for a fuzzing run), which must end cleanly whatever the script does.
// The last byte of the input picks the processor by its value modulo 3: the
// seeds end in '0' (PXA270), '1' (PXA255) or '2' (no clock control).

#include "platform/sim/sim_clock.h"
#include "platform/sim/terminal/script.h"
#include "shell/startup.h"
#include "tests/fuzz/fuzz_handheld.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t MOST_COMMANDS_RUN = 32;
constexpr std::uint64_t LONGEST_WAITS_RUN_S = 30;

bool shortEnoughToRun(const std::vector<ScriptCommand>& commands) {
    std::uint64_t seconds = 0;
    for (const ScriptCommand& command : commands) {
        seconds += command.verb == ScriptVerb::Wait ? command.number : 0;
    }
    return commands.size() <= MOST_COMMANDS_RUN && seconds <= LONGEST_WAITS_RUN_S;
}

void requireWellRead(bool read, const std::vector<ScriptCommand>& commands,
                     const std::string& error) {
    if (!read) {
        require(error.rfind("line ", 0) == 0, "a script error that names no line");
        return;
    }
    int previousLine = 0;
    for (const ScriptCommand& command : commands) {
        require(command.line > previousLine, "script commands out of line order");
        require(command.verb != ScriptVerb::Quit || &command == &commands.back(),
                "a command after quit");
        previousLine = command.line;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const SimProcessorKind processor = pickProcessor(input);
    const std::string script = input.ConsumeRemainingBytesAsString();
    std::vector<ScriptCommand> commands;
    std::string error;
    const bool read = parseScript(script, commands, error);
    requireWellRead(read, commands, error);
    if (!read || !shortEnoughToRun(commands)) {
        return 0;
    }
    switchOnHandheld(processor);
    simClock.runUntil = UINT64_MAX; // the script, not a time limit, ends the run
    startScript(std::move(commands), processor);
    require(runTavil(FUZZ_MODULE, u"") == 0, "the program ended with an exit code not 0");
    endProgramCleanly();
    return 0;
}

#pragma once
// The front-end's command line: `tavil-sim [options] [-- command line]`.

#include "platform/sim/sim_processor.h"

#include <cstdint>
#include <optional>
#include <string>

enum class ScreenSize { Qvga, Vga };

// A Windows CE version as --os and --install name it: 5.1 or 4.21.
struct WindowsCeVersion {
    std::uint32_t major;
    std::uint32_t minor;
};

struct FrontOptions {
    SimProcessorKind processor = SimProcessorKind::Pxa270;
    ScreenSize screen = ScreenSize::Qvga;
    bool pureVgaResources = false; // the PureVGA shell resources are installed
    std::string stateFile;         // empty: defaultStateFile()
    std::string scriptFile;        // empty: none; "-": standard input
    std::string traceFile;         // empty: none; only with a script
    std::string commandLine;       // what the program gets, the words joined by spaces

    SimProcessorFaults faults{};             // planted before the program starts
    std::optional<WindowsCeVersion> os;      // none: the handheld's own, 5.1
    std::optional<std::uint32_t> languageId; // none: the handheld's own, Russian
    std::optional<WindowsCeVersion> install; // the install gate runs for it, not the program
    bool help = false;
};

// The defaults that the environment gives: TAVIL_PROCESSOR as --processor and
// TAVIL_REGISTRY as --state (either empty counts as unset). On a bad value
// returns false with `error` naming the variable.
bool readFrontEnvironment(FrontOptions& options, std::string& error);

// Reads argv into options. Words that are not options (or all after "--") make
// the program's command line. On a bad option returns false with `error` set.
bool parseFrontOptions(int argc, char** argv, FrontOptions& options, std::string& error);

// The state file in the user's state folder: $XDG_STATE_HOME/tavil/state.txt
// when XDG_STATE_HOME is an absolute path, else ~/.local/state/tavil/state.txt;
// empty when there is no home folder either.
std::string defaultStateFile();

// The word of --processor that names the kind: "pxa27x", "pxa25x" or "none".
const char* processorOptionWord(SimProcessorKind kind);

// What --help prints.
extern const char* const FRONT_USAGE;

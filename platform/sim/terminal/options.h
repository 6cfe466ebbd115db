#pragma once
// The front-end's command line: `tavil-sim [options] [-- command line]`.

#include "platform/sim/sim_processor.h"

#include <string>

enum class ScreenSize { Qvga, Vga };

struct FrontOptions {
    SimProcessorKind processor = SimProcessorKind::Pxa270;
    ScreenSize screen = ScreenSize::Qvga;
    std::string stateFile = "tavil-registry.txt";
    std::string scriptFile;  // empty: none; "-": standard input
    std::string commandLine; // what the program gets, the words joined by spaces
    bool help = false;
};

// Reads argv into options. Words that are not options (or all after "--") make
// the program's command line. On a bad option returns false with `error` set.
bool parseFrontOptions(int argc, char** argv, FrontOptions& options, std::string& error);

// What --help prints.
extern const char* const FRONT_USAGE;

#include "platform/sim/terminal/options.h"

#include <cstdlib>
#include <cstring>

const char* const FRONT_USAGE =
    "Usage: tavil-sim [options] [--] [command line]\n"
    "Runs Tavil on a simulated handheld. The command line goes to the program\n"
    "(\"#0\" to \"#9\" asks for a clock preset).\n"
    "\n"
    "  --processor pxa27x|pxa25x|none  the handheld's processor (pxa27x: a PXA270)\n"
    "  --screen qvga|vga               240 x 320 or 480 x 640 pixels (qvga); a VGA\n"
    "                                  handheld starts in its VGA mode\n"
    "  --pure-vga                      the PureVGA shell resources are installed\n"
    "                                  (\\Windows\\shellres.96.dll)\n"
    "  --state FILE                    the handheld's registry and files, kept between\n"
    "                                  runs ($XDG_STATE_HOME/tavil/state.txt, else\n"
    "                                  ~/.local/state/tavil/state.txt); a file that\n"
    "                                  is not a state file is refused, not touched\n"
    "  --script FILE                   run the commands of FILE (\"-\": standard input)\n"
    "                                  and print each screen as plain text\n"
    "  --trace FILE                    write what the program shows, one observation a\n"
    "                                  line, to FILE (with --script)\n"
    "  --help                          this text\n"
    "\n"
    "TAVIL_PROCESSOR and TAVIL_REGISTRY give the defaults of --processor and --state.\n"
    "\n"
    "In a terminal the handheld is shown and driven by keys; otherwise it runs\n"
    "for TAVIL_SECONDS (3) of its time and prints the screen. Copies started by\n"
    "hand find each other in TAVIL_RUN_FOLDER ($XDG_RUNTIME_DIR/tavil, else\n"
    "/tmp/tavil-<uid>): a second one hands its command line to the one running.\n"
    "\n"
    "Script commands, one a line (# starts a comment):\n"
    "  wait N            let N seconds of the handheld's time pass\n"
    "  tap               tap the tray icon\n"
    "  choose ID         choose the menu entry with that command id,\n"
    "  choose \"TEXT\"     or with that text or place (\"Сведения > Память\"),\n"
    "                    which must name one entry (when a menu is up)\n"
    "  answer yes|no|ok  answer the message box that is up\n"
    "  ok                press OK in the information dialog on top\n"
    "  world cccr 0xHEX  another program writes the CCCR\n"
    "  world power on|off, world battery PERCENT, world load PERCENT,\n"
    "  world memory take|give, world rotate 0|90|180|270\n"
    "  world start NAME, world end PROCESS-ID\n"
    "  second \"LINE\"     a second copy starts with that command line\n"
    "  show              print the screen\n"
    "  quit              close the program (the script's last command)\n";

namespace {

struct Choice {
    const char* word;
    int value;
};

constexpr Choice PROCESSORS[] = {{"pxa27x", static_cast<int>(SimProcessorKind::Pxa270)},
                                 {"pxa25x", static_cast<int>(SimProcessorKind::Pxa255)},
                                 {"none", static_cast<int>(SimProcessorKind::Unrecognised)}};
constexpr Choice SCREENS[] = {{"qvga", static_cast<int>(ScreenSize::Qvga)},
                              {"vga", static_cast<int>(ScreenSize::Vga)}};

template <std::size_t N> bool choose(const Choice (&choices)[N], const char* word, int& value) {
    for (const Choice& choice : choices) {
        if (std::strcmp(choice.word, word) == 0) {
            value = choice.value;
            return true;
        }
    }
    return false;
}

bool isFlag(const char* word, FrontOptions& options) {
    if (std::strcmp(word, "--help") == 0) {
        options.help = true;
    } else if (std::strcmp(word, "--pure-vga") == 0) {
        options.pureVgaResources = true;
    } else {
        return false;
    }
    return true;
}

bool isValuedOption(const char* word) {
    for (const char* name : {"--processor", "--screen", "--state", "--script", "--trace"}) {
        if (std::strcmp(word, name) == 0) {
            return true;
        }
    }
    return false;
}

void appendWord(std::string& line, const char* word) {
    if (!line.empty()) {
        line += ' ';
    }
    line += word;
}

// The variable's value; nullptr when it is unset or empty.
const char* environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

} // namespace

const char* processorOptionWord(SimProcessorKind kind) {
    for (const Choice& choice : PROCESSORS) {
        if (choice.value == static_cast<int>(kind)) {
            return choice.word;
        }
    }
    return "";
}

bool readFrontEnvironment(FrontOptions& options, std::string& error) {
    const char* processor = environmentValue("TAVIL_PROCESSOR");
    int chosen = 0;
    if (processor != nullptr && !choose(PROCESSORS, processor, chosen)) {
        error = std::string("bad value for TAVIL_PROCESSOR: ") + processor +
                " (pxa27x, pxa25x or none)";
        return false;
    }
    if (processor != nullptr) {
        options.processor = static_cast<SimProcessorKind>(chosen);
    }
    if (const char* stateFile = environmentValue("TAVIL_REGISTRY")) {
        options.stateFile = stateFile;
    }
    return true;
}

std::string defaultStateFile() {
    const char* stateHome = environmentValue("XDG_STATE_HOME");
    if (stateHome != nullptr && stateHome[0] == '/') {
        return std::string(stateHome) + "/tavil/state.txt";
    }
    const char* home = environmentValue("HOME");
    return home != nullptr ? std::string(home) + "/.local/state/tavil/state.txt" : "";
}

bool parseFrontOptions(int argc, char** argv, FrontOptions& options, std::string& error) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        if (optionsEnded || std::strncmp(word, "--", 2) != 0) {
            appendWord(options.commandLine, word);
            continue;
        }
        if (std::strcmp(word, "--") == 0) {
            optionsEnded = true;
            continue;
        }
        if (isFlag(word, options)) {
            continue;
        }
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        int chosen = 0;
        if (!isValuedOption(word)) {
            error = std::string("unknown option: ") + word;
            return false;
        }
        if (value == nullptr) {
            error = std::string(word) + " needs a value";
            return false;
        }
        ++i;
        if (std::strcmp(word, "--processor") == 0 && choose(PROCESSORS, value, chosen)) {
            options.processor = static_cast<SimProcessorKind>(chosen);
        } else if (std::strcmp(word, "--screen") == 0 && choose(SCREENS, value, chosen)) {
            options.screen = static_cast<ScreenSize>(chosen);
        } else if (std::strcmp(word, "--state") == 0 && *value != '\0') {
            options.stateFile = value;
        } else if (std::strcmp(word, "--script") == 0 && *value != '\0') {
            options.scriptFile = value;
        } else if (std::strcmp(word, "--trace") == 0 && *value != '\0') {
            options.traceFile = value;
        } else {
            error = std::string("bad value for ") + word + ": " + value;
            return false;
        }
    }
    return true;
}

#include "platform/sim/terminal/options.h"

#include "platform/sim/terminal/fault_names.h"

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
    "  --fault NAME                    plant a processor fault before the program\n"
    "                                  starts (again for more): read-main-id,\n"
    "                                  read-cache-type, read-cclkcfg, write-cclkcfg,\n"
    "                                  store-cccr, load-cccr, copy-cccr-page,\n"
    "                                  kernel-mode-refused, or access=N: the N-th\n"
    "                                  register access faults; kept for the run\n"
    "  --os 5.1|4.21                   the handheld's Windows CE version (5.1):\n"
    "                                  Windows Mobile 5.0 (5.1, build 14847) or\n"
    "                                  2003 SE (4.21, build 1088)\n"
    "  --language ru|en                the handheld's default and user-interface\n"
    "                                  language (ru): Russian (0x0419) or English\n"
    "                                  (0x0409); the code pages stay 866 and 1251\n"
    "  --install 5.1|4.21              run the install gate of the setup DLL for that\n"
    "                                  version instead of the program (with --script,\n"
    "                                  which may only answer its message box); exits\n"
    "                                  with its answer: 0 go on, 1 cancel. The state\n"
    "                                  file is read, not written\n"
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
    "  world fault NAME  plant a processor fault (a name of --fault) for the\n"
    "                    rest of the run, over restarts too\n"
    "  world fault access N  the N-th register access from now faults\n"
    "  second \"LINE\"     a second copy starts with that command line\n"
    "  show              print the screen\n"
    "  quit              close the program (the script's last command)\n";

namespace {

struct Choice {
    const char* word;
    int value;
};

struct VersionChoice {
    const char* word;
    WindowsCeVersion value;
};

struct LanguageChoice {
    const char* word;
    std::uint32_t value;
};

constexpr Choice PROCESSORS[] = {{"pxa27x", static_cast<int>(SimProcessorKind::Pxa270)},
                                 {"pxa25x", static_cast<int>(SimProcessorKind::Pxa255)},
                                 {"none", static_cast<int>(SimProcessorKind::Unrecognised)}};
constexpr Choice SCREENS[] = {{"qvga", static_cast<int>(ScreenSize::Qvga)},
                              {"vga", static_cast<int>(ScreenSize::Vga)}};
constexpr VersionChoice VERSIONS[] = {{"5.1", {5, 1}}, {"4.21", {4, 21}}};
constexpr LanguageChoice LANGUAGES[] = {{"ru", 0x0419}, {"en", 0x0409}};

template <typename Entry, std::size_t N, typename Value>
bool choose(const Entry (&choices)[N], const char* word, Value& value) {
    for (const Entry& choice : choices) {
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
    for (const char* name : {"--processor", "--screen", "--state", "--script", "--trace", "--fault",
                             "--os", "--language", "--install"}) {
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

// A fault's name, or access=N for the countdown.
bool plantFaultOption(const std::string& value, SimProcessorFaults& faults) {
    const std::string countdown = std::string(ACCESS_FAULT) + "=";
    int accesses = 0;
    if (value.starts_with(countdown)) {
        return readAccessCount(value.substr(countdown.size()), accesses) &&
               plantFault(ACCESS_FAULT, accesses, faults);
    }
    return plantFault(value, accesses, faults);
}

// Takes the option's value into `options`; false when the option takes no such value.
bool takeValue(const char* option, const char* value, FrontOptions& options) {
    const auto is = [option](const char* name) { return std::strcmp(option, name) == 0; };
    const bool given = *value != '\0';
    int chosen = 0;
    WindowsCeVersion version{};
    std::uint32_t language = 0;
    if (is("--processor") && choose(PROCESSORS, value, chosen)) {
        options.processor = static_cast<SimProcessorKind>(chosen);
    } else if (is("--screen") && choose(SCREENS, value, chosen)) {
        options.screen = static_cast<ScreenSize>(chosen);
    } else if (is("--state") && given) {
        options.stateFile = value;
    } else if (is("--script") && given) {
        options.scriptFile = value;
    } else if (is("--trace") && given) {
        options.traceFile = value;
    } else if (is("--fault")) {
        return plantFaultOption(value, options.faults);
    } else if (is("--os") && choose(VERSIONS, value, version)) {
        options.os = version;
    } else if (is("--language") && choose(LANGUAGES, value, language)) {
        options.languageId = language;
    } else if (is("--install") && choose(VERSIONS, value, version)) {
        options.install = version;
    } else {
        return false;
    }
    return true;
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
        if (!isValuedOption(word)) {
            error = std::string("unknown option: ") + word;
            return false;
        }
        if (value == nullptr) {
            error = std::string(word) + " needs a value";
            return false;
        }
        ++i;
        if (!takeValue(word, value, options)) {
            error = std::string("bad value for ") + word + ": " + value;
            return false;
        }
    }
    return true;
}

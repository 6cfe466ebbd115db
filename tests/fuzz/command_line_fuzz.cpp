// The command line: the first copy starts with it, runs a few ticks, and a
// second copy started with the same command line hands its request over.
// Input: one byte for the processor, then the command line as UTF-16 units.

#include "shell/preset_argument.h"
#include "shell/startup.h"
#include "tests/fuzz/fuzz_handheld.h"

#include <string>

namespace {

constexpr std::uint32_t FIRST_COPY_MS = 2500; // the start-up and two ticks
constexpr std::uint32_t HAND_OVER_MS = 1000;
constexpr ModuleHandle SECOND_COPY_MODULE = static_cast<ModuleHandle>(0x500000);

std::u16string commandLineOf(FuzzedDataProvider& input) {
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    std::u16string line;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        line += static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
    }
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    switchOnHandheld(pickProcessor(input));
    const std::u16string commandLine = commandLineOf(input);
    const int preset = parsePresetIndex(commandLine.c_str());
    require(preset >= -1 && preset <= 9, "a preset index outside -1..9");

    startProgram(commandLine.c_str(), FIRST_COPY_MS);
    require(mainWindow() != WindowHandle::None, "the first copy did not make its window");
    require(runTavil(SECOND_COPY_MODULE, commandLine.c_str()) == 0,
            "the second copy ended with an exit code not 0");
    letProgramRun(HAND_OVER_MS);
    endProgramCleanly();
    return 0;
}

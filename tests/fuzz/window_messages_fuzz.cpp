// Window messages and command ids with any parameters: the running program's
// main window gets a sequence of messages decoded from the input, with menu
// choices and message-box answers, the world changing (with any readings of the
// battery and memory, and failures of the handheld) and time passing between
// them, and then the exit.

#include "core/command_ids.h"
#include "platform/message_box.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_menus.h"
#include "platform/sim/terminal/world.h"
#include "platform/windowing.h"
#include "shell/main_window.h"
#include "tests/fuzz/fuzz_handheld.h"
#include "tests/random/fault_switches.h"
#include "trayicon/tray_icon.h"

#include <cstdint>

namespace {

constexpr std::uint32_t START_UP_MS = 1500;
constexpr std::uint32_t LONGEST_PAUSE_MS = 3000;
constexpr int MOST_STEPS = 64;
constexpr std::uint32_t LAST_MENU_COMMAND = FIRST_PROCESS_COMMAND + 40;

// The messages the window handles; the system alone sends it create and destroy.
constexpr std::uint32_t HANDLED_MESSAGES[] = {WM_COMMAND_MESSAGE, WM_TIMER_MESSAGE,
                                              MSG_SHOW_MENU,      MSG_TRAY_CALLBACK,
                                              MSG_APPLY_PRESET,   WM_CLOSE_MESSAGE};
constexpr int ANSWERS[] = {MB_ANSWER_OK, MB_ANSWER_YES, MB_ANSWER_NO};

enum class Step { Post, ChooseFromMenu, AnswerBox, Wait, World, kMaxValue = World };

std::uint32_t messageOf(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) {
        return input.PickValueInArray(HANDLED_MESSAGES);
    }
    const std::uint32_t message = input.ConsumeIntegral<std::uint32_t>();
    return message == WM_CREATE_MESSAGE || message == WM_DESTROY_MESSAGE ? WM_COMMAND_MESSAGE
                                                                         : message;
}

// Mostly an id of the menu with any high word; else any value.
std::uintptr_t commandParameterOf(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) {
        const std::uint32_t id =
            input.ConsumeIntegralInRange(FIRST_FREQUENCY_COMMAND, LAST_MENU_COMMAND);
        return id | static_cast<std::uintptr_t>(input.ConsumeIntegral<std::uint16_t>()) << 16;
    }
    return input.ConsumeIntegral<std::uintptr_t>();
}

void postToMainWindow(FuzzedDataProvider& input) {
    const std::uint32_t message = messageOf(input);
    const std::uintptr_t wParam = message == WM_COMMAND_MESSAGE
                                      ? commandParameterOf(input)
                                      : input.ConsumeIntegral<std::uintptr_t>();
    const std::intptr_t lParam = input.ConsumeIntegral<std::intptr_t>();
    postMessage(mainWindow(), message, wParam, lParam);
    letProgramRun(0);
}

// The battery driver and the memory status may report anything.
void reportAnything(FuzzedDataProvider& input) {
    PowerStatus& power = simHandheld.power;
    power.acLineStatus = input.ConsumeIntegral<std::uint8_t>();
    power.batteryFlag = input.ConsumeIntegral<std::uint8_t>();
    power.batteryLifePercent = input.ConsumeIntegral<std::uint8_t>();
    power.backupBatteryFlag = input.ConsumeIntegral<std::uint8_t>();
    power.backupBatteryLifePercent = input.ConsumeIntegral<std::uint8_t>();
    power.batteryVoltage = input.ConsumeIntegral<std::uint32_t>();
    power.batteryCurrent = input.ConsumeIntegral<std::int32_t>();
    power.batteryTemperature = input.ConsumeIntegral<std::uint32_t>();
    power.backupBatteryVoltage = input.ConsumeIntegral<std::uint32_t>();
    power.batteryChemistry = input.ConsumeIntegral<std::uint8_t>();
    simHandheld.memory =
        MemoryStatus{input.ConsumeIntegral<std::uint32_t>(), input.ConsumeIntegral<std::uint32_t>(),
                     input.ConsumeIntegral<std::uint32_t>()};
}

// Any failure of the handheld, from the random runs' table, on or off.
void switchFault(FuzzedDataProvider& input) {
    const FaultSwitch& fault =
        FAULT_SWITCHES[input.ConsumeIntegral<std::uint8_t>() % FAULT_SWITCH_COUNT];
    fault.set(input.ConsumeBool());
}

void changeWorld(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 6)) {
    case 0:
        worldWriteCccr(input.ConsumeIntegral<std::uint32_t>());
        break;
    case 1:
        worldSetExternalPower(input.ConsumeBool());
        break;
    case 2:
        worldSetBatteryPercent(input.ConsumeIntegral<std::uint8_t>());
        break;
    case 3:
        worldStartProcess(u"\\Windows\\fuzz.exe", input.ConsumeIntegralInRange(1, 8));
        break;
    case 4:
        reportAnything(input);
        break;
    case 5:
        worldEndProcess(input.ConsumeIntegral<std::uint32_t>());
        break;
    default:
        switchFault(input);
        break;
    }
}

void takeStep(FuzzedDataProvider& input) {
    switch (input.ConsumeEnum<Step>()) {
    case Step::Post:
        postToMainWindow(input);
        break;
    case Step::ChooseFromMenu:
        scriptMenuChoice(input.ConsumeIntegralInRange(FIRST_FREQUENCY_COMMAND, LAST_MENU_COMMAND));
        break;
    case Step::AnswerBox:
        scriptMessageBoxAnswer(input.PickValueInArray(ANSWERS));
        break;
    case Step::Wait:
        letProgramRun(input.ConsumeIntegralInRange<std::uint32_t>(0, LONGEST_PAUSE_MS));
        break;
    case Step::World:
        changeWorld(input);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    switchOnHandheld(pickProcessor(input));
    startProgram(u"", START_UP_MS);
    for (int step = 0; step < MOST_STEPS && input.remaining_bytes() > 0; ++step) {
        takeStep(input);
    }
    endProgramCleanly();
    return 0;
}

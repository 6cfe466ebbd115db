#include "device/device_commands.h"

#include "core/app_state.h"
#include "core/program_name.h"
#include "platform/display_settings.h"
#include "platform/message_box.h"
#include "platform/programs.h"

namespace {

constexpr const char16_t* AUTOSTART_TARGET = u"\\Windows\\Tavil.exe";

constexpr const char16_t* HELP_VIEWER = u"peghelp.exe";
constexpr const char16_t* HELP_CONTENTS = u"file:tavil.htm#Main_Contents";
constexpr const char16_t* HELP_MISSING = u"Файл помощи не найден!";

constexpr const char16_t* RESTART_QUESTION = u"Вы действительно хотите выполнить перезагрузку ?";
constexpr const char16_t* RESTART_CAPTION = u"Перезагрузка";
constexpr const char16_t* FULL_RESET_QUESTION =
    u"Вы действительно хотите выполнить полную очистку системы ?";
constexpr const char16_t* FULL_RESET_CAPTION = u"Полный сброс";
constexpr const char16_t* FULL_RESET_WARNING =
    u"Очистка системы приведет к потере всех данных и возврату к заводским настройкам !";
constexpr const char16_t* FULL_RESET_WARNING_CAPTION = u"Внимание";

bool userAgrees(const char16_t* question, const char16_t* caption, std::uint32_t style) {
    return showMessageBox(question, caption, style) == MB_ANSWER_YES;
}

void confirmRestart() {
    if (userAgrees(RESTART_QUESTION, RESTART_CAPTION, MB_STYLE_YES_NO_QUESTION)) {
        restartDevice();
    }
}

// Asked twice, the second time with the warning: a full reset loses all data.
void confirmFullReset() {
    if (userAgrees(FULL_RESET_QUESTION, FULL_RESET_CAPTION, MB_STYLE_YES_NO_QUESTION) &&
        userAgrees(FULL_RESET_WARNING, FULL_RESET_WARNING_CAPTION, MB_STYLE_YES_NO_EXCLAMATION)) {
        markNextRestartClean();
        restartDevice();
    }
}

} // namespace

void toggleAutostart() {
    if (appState.pathBuffer[0] == u'\0') {
        return;
    }
    if (appState.autostartEnabled != 0) {
        deleteFile(appState.pathBuffer);
        appState.autostartEnabled = 0;
    } else {
        createShortcut(appState.pathBuffer, AUTOSTART_TARGET);
        appState.autostartEnabled = 1;
    }
}

void openHelp() {
    if (!startProgram(HELP_VIEWER, HELP_CONTENTS)) {
        showMessageBox(HELP_MISSING, PROGRAM_NAME, MB_STYLE_OK_STOP);
    }
}

void handleDeviceCommand(std::uint32_t id) {
    switch (id) {
    case RESTART_COMMAND:
        confirmRestart();
        break;
    case FULL_RESET_COMMAND:
        confirmFullReset();
        break;
    case AUTOSTART_COMMAND:
        toggleAutostart();
        break;
    case HELP_COMMAND:
        openHelp();
        break;
    default:
        break;
    }
}

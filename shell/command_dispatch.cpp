#include "shell/command_dispatch.h"

#include "device/screen_commands.h"
#include "platform/windowing.h"
#include "shell/command_ids.h"
#include "shell/settings_store.h"

namespace {

bool within(std::uint32_t id, std::uint32_t first, std::uint32_t last) {
    return id >= first && id <= last;
}

} // namespace

std::intptr_t dispatchCommand(WindowHandle window, std::uintptr_t wParam, std::intptr_t lParam) {
    const auto id = static_cast<std::uint32_t>(wParam & 0xFFFF);
    if (within(id, FIRST_SCREEN_COMMAND, LAST_SCREEN_COMMAND)) {
        handleScreenCommand(id);
    } else if (within(id, FIRST_ICON_VIEW_COMMAND, LAST_ICON_VIEW_COMMAND)) {
        saveIconView(id - FIRST_ICON_VIEW_COMMAND);
    } else if (within(id, FIRST_PALETTE_COMMAND, LAST_PALETTE_COMMAND)) {
        saveIconColor(id - FIRST_PALETTE_COMMAND);
    } else if (id == EXIT_COMMAND) {
        postMessage(window, WM_CLOSE_MESSAGE, 0, 0);
    } else {
        return defaultWindowProcedure(window, WM_COMMAND_MESSAGE, wParam, lParam);
    }
    return 0;
}

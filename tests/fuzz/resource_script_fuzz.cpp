// The resource-script reader: any text as the script, read for the popup menu
// and for each information dialog.

#include "platform/sim/resource_script.h"
#include "tests/fuzz/fuzz_handheld.h"

#include <string>
#include <vector>

namespace {

constexpr unsigned POPUP_MENU = 100;
constexpr unsigned FIRST_DIALOG = 100;
constexpr unsigned LAST_DIALOG = 104;

int depthOf(const std::vector<ScriptMenuEntry>& entries) {
    int deepest = 0;
    for (const ScriptMenuEntry& entry : entries) {
        if (entry.kind == ScriptMenuEntry::Kind::Submenu) {
            const int depth = depthOf(entry.entries);
            deepest = depth > deepest ? depth : deepest;
        }
    }
    return deepest + 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size); // ends at its NUL

    std::vector<ScriptMenuEntry> entries;
    if (parseScriptMenu(POPUP_MENU, entries, script.c_str())) {
        require(depthOf(entries) <= SCRIPT_MENU_DEPTH_LIMIT, "a menu nested beyond the limit");
    }
    for (unsigned id = FIRST_DIALOG; id <= LAST_DIALOG; ++id) {
        ScriptDialog dialog;
        parseScriptDialog(id, dialog, script.c_str());
    }
    return 0;
}

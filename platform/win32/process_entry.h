#pragma once
// Walking a Tool Help snapshot, shared by the desktop (PROCESSENTRY32W) and the
// device (its PROCESSENTRY32, wide as well): both have the same fields under
// the same names.

#include "platform/processes.h"

#include <algorithm>
#include <cstddef>
#include <type_traits>

// The program's entry for a process that Tool Help listed. The name is cut to
// fit and always terminated, even when Tool Help's fills its field.
template <typename ToolHelpEntry> ProcessEntry processEntryOf(const ToolHelpEntry& found) {
    constexpr std::size_t longest =
        std::min(std::extent_v<decltype(ToolHelpEntry::szExeFile)>, PROCESS_NAME_CAPACITY - 1);
    ProcessEntry entry{found.th32ProcessID, found.cntThreads, {}};
    for (std::size_t i = 0; i < longest && found.szExeFile[i] != 0; ++i) {
        entry.exeFile[i] = static_cast<char16_t>(found.szExeFile[i]);
    }
    return entry;
}

// One step of the walk: `step` is Tool Help's first or next function, which
// fills an entry only when the entry's size is set before each call.
template <typename ToolHelpEntry, typename Step, typename NativeSnapshot>
bool stepToolHelp(Step step, NativeSnapshot snapshot, ProcessEntry& entry) {
    ToolHelpEntry found{};
    found.dwSize = sizeof found;
    if (!step(snapshot, &found)) {
        return false;
    }
    entry = processEntryOf(found);
    return true;
}

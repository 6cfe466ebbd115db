#pragma once
// A fixed table of paths or names, as the simulated handheld keeps its files
// and its programs: added whole or not at all, found with the table's own
// comparison, removed by moving the last entry into the gap.

#include "platform/whole_text.h"

#include <string_view>

inline constexpr int SIM_PATH_CAPACITY = 260; // the longest path with its terminator

template <int Capacity> struct SimPathTable {
    char16_t paths[Capacity][SIM_PATH_CAPACITY];
    int count;
};

using SamePath = bool (*)(std::u16string_view a, std::u16string_view b);

// The entry's position, or -1.
template <int Capacity>
int pathIndex(const SimPathTable<Capacity>& table, const char16_t* path, SamePath same) {
    for (int i = 0; path != nullptr && i < table.count; ++i) {
        if (same(table.paths[i], path)) {
            return i;
        }
    }
    return -1;
}

// True when the path is in the table afterwards. No path, an empty one, one
// that does not fit in SIM_PATH_CAPACITY, or a full table adds nothing.
template <int Capacity>
bool addPath(SimPathTable<Capacity>& table, const char16_t* path, SamePath same) {
    if (path == nullptr || path[0] == u'\0') {
        return false;
    }
    if (pathIndex(table, path, same) >= 0) {
        return true;
    }
    if (table.count == Capacity ||
        !copyWholeText(path, table.paths[table.count], SIM_PATH_CAPACITY)) {
        return false;
    }
    ++table.count;
    return true;
}

// False when the path was not in the table.
template <int Capacity>
bool removePath(SimPathTable<Capacity>& table, const char16_t* path, SamePath same) {
    const int index = pathIndex(table, path, same);
    if (index < 0) {
        return false;
    }
    const int last = --table.count;
    copyWholeText(table.paths[last], table.paths[index], SIM_PATH_CAPACITY);
    return true;
}

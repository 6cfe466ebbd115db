#pragma once
// Filling the processor description on Windows, shared by the desktop and the
// device (whose wide characters are 16 bits as well).

#include "platform/system_info.h"

#include <algorithm>
#include <cstddef>

// winnt.h names a power-information level ProcessorInformation as well, which
// hides the record's name wherever <windows.h> is included.
using ProcessorRecord = struct ProcessorInformation;

// Copies `source` into `field` up to its terminator, cut to fit: the field is
// always terminated, even when the source fills its own field without one.
template <std::size_t Capacity, std::size_t SourceCapacity, typename WideChar>
void copyFixedText(char16_t (&field)[Capacity], const WideChar (&source)[SourceCapacity]) {
    constexpr std::size_t longest = std::min(SourceCapacity, Capacity - 1);
    std::size_t length = 0;
    for (; length < longest && source[length] != 0; ++length) {
        field[length] = static_cast<char16_t>(source[length]);
    }
    field[length] = u'\0';
}

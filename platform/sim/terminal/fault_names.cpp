#include "platform/sim/terminal/fault_names.h"

#include <charconv>

bool plantFault(const std::string& name, int accesses, SimProcessorFaults& faults) {
    if (name == ACCESS_FAULT) {
        if (accesses < 1) {
            return false;
        }
        faults.accessesBeforeFault = accesses;
        return true;
    }
    for (const FaultName& fault : FAULT_NAMES) {
        if (name == fault.name) {
            faults.*fault.flag = true;
            return true;
        }
    }
    return false;
}

bool readAccessCount(const std::string& text, int& accesses) {
    const char* const end = text.data() + text.size();
    int value = 0;
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text[0] < '0' || text[0] > '9' || error != std::errc{} || stop != end) {
        return false;
    }
    accesses = value;
    return true;
}

#include "shell/preset_argument.h"

#include "core/text.h"

int parsePresetIndex(const char16_t* commandLine) {
    int index = -1;
    if (commandLine == nullptr) {
        return index;
    }
    char16_t request[] = u"#0";
    for (int digit = 0; digit <= 9; ++digit) {
        request[1] = static_cast<char16_t>(u'0' + digit);
        if (textContains(commandLine, request)) {
            index = digit;
        }
    }
    return index;
}

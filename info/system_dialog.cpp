// The System dialog: version, screen, the hardware layer's processor
// description, code pages, languages and the time zone, read once at opening.

#include "core/app_state.h"
#include "core/text.h"
#include "info/dialog_contents.h"
#include "info/dialog_fields.h"
#include "platform/system_info.h"
#include "platform/system_metrics.h"

namespace {

enum SystemField {
    VERSION = 1001,
    BUILD = 1002,
    SCREEN = 1003,
    ICONS = 1004,
    CORE = 1005,
    MODEL = 1006,
    VENDOR = 1007,
    CLOCK = 1008,
    OEM_CODE_PAGE = 1009,
    ANSI_CODE_PAGE = 1010,
    DEFAULT_LANGUAGE = 1011,
    INTERFACE_LANGUAGE = 1012,
    TIME_ZONE = 1013,
};

void showProcessor(WindowHandle dialog) {
    const ProcessorInformation processor = queryProcessorInformation();
    setField(dialog, CORE, processor.core);
    setField(dialog, MODEL, processor.name);
    setField(dialog, VENDOR, processor.vendor);
    if (processor.clockMhz != 0) {
        setFormattedField(dialog, CLOCK, u"%d МГц", {processor.clockMhz});
    } else {
        setField(dialog, CLOCK, u"");
    }
}

// Whole hours east of UTC with their sign ("+3", "-5", "0"), then any
// remaining minutes after a point ("+5.30"). Widened first: the most negative
// bias has no negation in 32 bits.
void showTimeZone(WindowHandle dialog) {
    const std::int64_t bias = timeZoneBias();
    const auto hours = static_cast<std::int32_t>(-bias / 60);
    formatText(appState.textBuffer, bias < 0 ? u"+%d" : u"%d", {hours});
    if (bias % 60 != 0) {
        char16_t minutes[8];
        formatText(minutes, u".%d", {static_cast<std::int32_t>((bias < 0 ? -bias : bias) % 60)});
        appendText(appState.textBuffer, TEXT_BUFFER_LENGTH, minutes);
    }
    setField(dialog, TIME_ZONE, appState.textBuffer);
}

} // namespace

void fillSystemDialog() {
    const WindowHandle dialog = appState.systemDialog;
    const OsVersion version = osVersion();
    setFormattedField(dialog, VERSION, u"%d.%d", {version.major, version.minor});
    setFormattedField(dialog, BUILD, u"%d", {version.build});
    setFormattedField(dialog, SCREEN, u"%dx%d",
                      {systemMetric(METRIC_SCREEN_WIDTH), systemMetric(METRIC_SCREEN_HEIGHT)});
    setFormattedField(dialog, ICONS, u"%dx%d",
                      {systemMetric(METRIC_ICON_WIDTH), systemMetric(METRIC_ICON_HEIGHT)});
    showProcessor(dialog);
    setFormattedField(dialog, OEM_CODE_PAGE, u"%d", {oemCodePage()});
    setFormattedField(dialog, ANSI_CODE_PAGE, u"%d", {ansiCodePage()});
    setFormattedField(dialog, DEFAULT_LANGUAGE, u"%d", {defaultLanguageId() & 0xFFFF});
    setFormattedField(dialog, INTERFACE_LANGUAGE, u"%d", {userInterfaceLanguageId() & 0xFFFF});
    showTimeZone(dialog);
}

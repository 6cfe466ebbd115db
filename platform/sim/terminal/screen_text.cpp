#include "platform/sim/terminal/screen_text.h"

#include "clock/clock_arithmetic.h"
#include "core/megabytes.h"
#include "platform/display_settings.h"
#include "platform/message_box.h"
#include "platform/sim/resource_script.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_programs.h"
#include "platform/sim/utf8.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint32_t CCLKCFG_TURBO_BIT = 0x1; // the hardware's turbo bit
constexpr std::uint32_t MB_TYPE_MASK = 0xF;
constexpr std::uint32_t MB_TYPE_YES_NO = 0x4;
constexpr std::uint32_t MB_DEFAULT_BUTTON_MASK = 0xF00;
constexpr std::uint32_t MB_SECOND_BUTTON_DEFAULT = 0x100;
constexpr std::uint8_t ON_MAINS = 1;
constexpr const char16_t* DIALOG_CLASS = u"#32770";
constexpr char BRIGHTNESS_RAMP[] = "#+-.";
constexpr unsigned FIRST_DIALOG_TEMPLATE = 100;
constexpr unsigned LAST_DIALOG_TEMPLATE = 104;
constexpr std::uint32_t STATIC_KIND_MASK = 0x1F;
constexpr std::uint32_t STATIC_ICON = 0x3; // SS_ICON
constexpr int DIALOG_UNITS_PER_COLUMN = 4;
constexpr int DIALOG_UNITS_PER_ROW = 8;
constexpr const char16_t* PROGRAM_FILE = u"Tavil.exe";
constexpr const char16_t* HELP_VIEWER = u"peghelp.exe";
constexpr std::uint32_t PRIMARY_LANGUAGE_MASK = 0x3FF;
constexpr std::uint32_t RUSSIAN = 0x19;

struct ButtonWords {
    std::uint32_t primaryLanguage;
    const char* yes;
    const char* no;
    const char* ok;
};

constexpr ButtonWords RUSSIAN_BUTTONS = {RUSSIAN, "Да", "Нет", "ОК"};
constexpr ButtonWords ENGLISH_BUTTONS = {0, "Yes", "No", "OK"};

std::string formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatted(const char* format, ...) {
    char line[160];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    return line;
}

std::string utf8(const char16_t* text) {
    return utf8Of(std::u16string(text));
}

const char* processorName(SimProcessorKind processor) {
    switch (processor) {
    case SimProcessorKind::Pxa255:
        return "PXA255";
    case SimProcessorKind::Pxa270:
        return "PXA270";
    case SimProcessorKind::Unrecognised:
        break;
    }
    return "ARM920T";
}

unsigned degreesOf(std::uint32_t orientation) {
    switch (orientation) {
    case ORIENTATION_90:
        return 90;
    case ORIENTATION_180:
        return 180;
    case ORIENTATION_270:
        return 270;
    default:
        return 0;
    }
}

std::string clockLine(SimProcessorKind processor) {
    if (processor == SimProcessorKind::Unrecognised) {
        return "Clocks     no clock control";
    }
    const std::uint32_t running = simProcessor.runningCccr;
    const bool turbo = (simProcessor.cclkcfg & CCLKCFG_TURBO_BIT) != 0;
    return formatted("Clocks     core %u MHz, run %u MHz, memory %u MHz", cccrToMhz(running, turbo),
                     cccrToMhz(running, false), memoryClockMhz(running));
}

std::string helpViewerPage() {
    const std::u16string page = simHelpViewerPage();
    const ProcessEntry* viewer = simProcessNamed(HELP_VIEWER);
    return page.empty() ? "not shown"
                        : formatted("%s in %s, process 0x%X", utf8Of(page).c_str(),
                                    utf8Of(viewer->exeFile).c_str(), viewer->processId);
}

std::string programLine() {
    const SimRestarts& restarts = simHandheld.restarts;
    if (const ProcessEntry* program = simProcessNamed(PROGRAM_FILE)) {
        return formatted("Tavil      running, process 0x%X%s", program->processId,
                         restarts.programStartedAgain ? ", started by the Startup folder" : "");
    }
    return restarts.carriedOut != 0 ? "Tavil      not running: its process ended at the restart"
                                    : "Tavil      not running";
}

std::string restartsLine() {
    const SimRestarts& restarts = simHandheld.restarts;
    if (restarts.carriedOut == 0) {
        return "Restarts   none";
    }
    return formatted("Restarts   %d, the last %s", restarts.carriedOut,
                     restarts.lastWasFull ? "a full reset to the factory state" : "a warm one");
}

bool isDialog(const SimWindow& window) {
    return window.live && window.parent == WindowHandle::None &&
           std::u16string(window.className) == DIALOG_CLASS;
}

// The dialog with its controls placed as the template of the same caption
// places them; the handheld makes the controls in the template's order.
DialogView viewOf(const SimWindow& window) {
    const WindowHandle handle = findWindow(DIALOG_CLASS, window.title);
    DialogView view{handle, utf8(window.title), 0, 0, {}};
    ScriptDialog dialogTemplate{};
    for (unsigned id = FIRST_DIALOG_TEMPLATE; id <= LAST_DIALOG_TEMPLATE; ++id) {
        if (parseScriptDialog(id, dialogTemplate) && dialogTemplate.caption == window.title) {
            break;
        }
        dialogTemplate = ScriptDialog{};
    }
    view.width = dialogTemplate.width;
    view.height = dialogTemplate.height;
    std::size_t position = 0;
    for (const SimWindow& control : simWindowing.windows) {
        if (!control.live || control.parent != handle) {
            continue;
        }
        ControlView placed{0, static_cast<int>(position), 0, 1, utf8(control.title), false};
        if (position < dialogTemplate.controls.size()) {
            const ScriptControl& from = dialogTemplate.controls[position];
            placed = ControlView{from.x,      from.y,
                                 from.width,  from.height,
                                 placed.text, (from.style & STATIC_KIND_MASK) == STATIC_ICON};
        }
        view.controls.push_back(placed);
        ++position;
    }
    return view;
}

} // namespace

std::vector<std::string> devicePanelLines(SimProcessorKind processor) {
    const PowerStatus& power = simHandheld.power;
    const MemoryStatus& memory = simHandheld.memory;
    return {
        formatted("Processor  %s, main id 0x%X", processorName(processor), simProcessor.mainId),
        formatted("CCCR       0x%X   CCLKCFG 0x%X", simProcessor.cccr, simProcessor.cclkcfg),
        clockLine(processor),
        formatted("Load       %u %%", simClock.loadPercent),
        formatted("Memory     %u MB, %u MB free", wholeMegabytes(memory.totalPhysical),
                  wholeMegabytes(memory.availablePhysical)),
        formatted("Battery    %u %%, %d mA", power.batteryLifePercent, power.batteryCurrent),
        formatted("Power      %s", power.acLineStatus == ON_MAINS ? "external" : "battery"),
        formatted("Screen     %d x %d, turned %u", simScreenMetrics.width, simScreenMetrics.height,
                  degreesOf(simDisplay.orientation)),
        programLine(),
        restartsLine(),
        "Help       " + helpViewerPage(),
    };
}

std::string iconAsText(const SimIconPixels& icon) {
    std::string text;
    for (int y = 0; y < icon.size; ++y) {
        for (int x = 0; x < icon.size; ++x) {
            const std::uint32_t pixel = icon.argb[y * icon.size + x];
            const unsigned brightness =
                ((pixel >> 16 & 0xFF) * 3 + (pixel >> 8 & 0xFF) * 6 + (pixel & 0xFF)) / 10;
            const char shade = pixel >> 24 == 0 ? ' ' : BRIGHTNESS_RAMP[brightness / 64];
            text += shade;
            text += shade;
        }
        text += '\n';
    }
    return text;
}

std::vector<DialogView> openDialogViews() {
    std::vector<DialogView> dialogs;
    for (const SimWindow& window : simWindowing.windows) {
        if (isDialog(window)) {
            dialogs.push_back(viewOf(window));
        }
    }
    return dialogs;
}

namespace {

int textWidth(const std::string& text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool rowsMeet(const PlacedControl& a, const PlacedControl& b) {
    return a.row < b.row + b.rows && b.row < a.row + a.rows;
}

} // namespace

DialogLayout layOutDialog(const DialogView& dialog, int iconColumns, int iconRows) {
    DialogLayout layout{
        dialog.width / DIALOG_UNITS_PER_COLUMN, dialog.height / DIALOG_UNITS_PER_ROW, {}};
    for (const ControlView& control : dialog.controls) {
        layout.controls.push_back(
            PlacedControl{control.x / DIALOG_UNITS_PER_COLUMN, control.y / DIALOG_UNITS_PER_ROW,
                          control.icon ? iconColumns : textWidth(control.text),
                          control.icon ? iconRows : 1, &control});
    }
    std::vector<PlacedControl*> byColumn;
    for (PlacedControl& placed : layout.controls) {
        byColumn.push_back(&placed);
    }
    std::stable_sort(byColumn.begin(), byColumn.end(),
                     [](const auto* a, const auto* b) { return a->control->x < b->control->x; });
    for (std::size_t first = 0; first < byColumn.size();) {
        std::size_t end = first;
        int column = byColumn[first]->column;
        while (end < byColumn.size() && byColumn[end]->control->x == byColumn[first]->control->x) {
            for (std::size_t before = 0; before < first; ++before) {
                if (rowsMeet(*byColumn[before], *byColumn[end])) {
                    column =
                        std::max(column, byColumn[before]->column + byColumn[before]->columns + 1);
                }
            }
            ++end;
        }
        for (std::size_t i = first; i < end; ++i) {
            byColumn[i]->column = column;
            layout.columns = std::max(layout.columns, column + byColumn[i]->columns + 1);
            layout.rows = std::max(layout.rows, byColumn[i]->row + byColumn[i]->rows);
        }
        first = end;
    }
    return layout;
}

std::string dialogAsText(const DialogView& dialog) {
    std::vector<ControlView> controls = dialog.controls;
    std::stable_sort(controls.begin(), controls.end(),
                     [](const ControlView& a, const ControlView& b) {
                         return a.y != b.y ? a.y < b.y : a.x < b.x;
                     });
    std::string text = "== Dialog: " + dialog.caption + " [OK] ==\n";
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const bool rowGoesOn = i + 1 < controls.size() && controls[i + 1].y == controls[i].y;
        text += (i == 0 || controls[i - 1].y != controls[i].y ? "  " : " ") +
                (controls[i].icon ? "[icon]" : controls[i].text) + (rowGoesOn ? "" : "\n");
    }
    return text;
}

std::string messageBoxButtons(std::uint32_t style) {
    const bool russian = (simSystemInfo.userInterfaceLanguageId & PRIMARY_LANGUAGE_MASK) ==
                         RUSSIAN_BUTTONS.primaryLanguage;
    const ButtonWords& words = russian ? RUSSIAN_BUTTONS : ENGLISH_BUTTONS;
    if ((style & MB_TYPE_MASK) != MB_TYPE_YES_NO) {
        return std::string("[[") + words.ok + "]]"; // the only button is the default
    }
    const bool noByDefault = messageBoxDefault(style) == MB_ANSWER_NO;
    return (noByDefault ? "[" : "[[") + std::string(words.yes) + (noByDefault ? "]  [[" : "]]  [") +
           words.no + (noByDefault ? "]]" : "]");
}

int messageBoxDefault(std::uint32_t style) {
    if ((style & MB_TYPE_MASK) != MB_TYPE_YES_NO) {
        return MB_ANSWER_OK;
    }
    return (style & MB_DEFAULT_BUTTON_MASK) == MB_SECOND_BUTTON_DEFAULT ? MB_ANSWER_NO
                                                                        : MB_ANSWER_YES;
}

std::string messageBoxAsText(const char16_t* text, const char16_t* caption, std::uint32_t style) {
    return "== Message: " + utf8(caption) + " ==\n" + utf8(text) + "\n  " +
           messageBoxButtons(style) + "\n";
}

std::string screenAsText(SimProcessorKind processor) {
    std::string text = "== Device ==\n";
    for (const std::string& line : devicePanelLines(processor)) {
        text += line + "\n";
    }
    const SimIconPixels& icon = simNotificationArea.shown;
    if (simNotificationArea.iconPresent) {
        text += formatted("== Tray icon, %d x %d ==\n", icon.size, icon.size) + iconAsText(icon);
    } else {
        text += "== No tray icon ==\n";
    }
    for (const DialogView& dialog : openDialogViews()) {
        text += dialogAsText(dialog);
    }
    return text;
}

#include "platform/sim/terminal/trace.h"

#include "platform/sim/sim_handheld.h"
#include "platform/sim/terminal/fault_names.h"
#include "platform/sim/terminal/options.h"
#include "platform/sim/terminal/screen_text.h"
#include "platform/sim/utf8.h"

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <vector>

namespace {

constexpr std::uint32_t WINDOWS_CE_PLATFORM = 3; // VER_PLATFORM_WIN32_CE
constexpr const char* REGISTRY_ROOT = "HKLM";
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;

struct WrittenDialog {
    WindowHandle window;
    std::string caption;
    std::string block; // as last written
};

struct Trace {
    std::FILE* file;
    std::string path;
    std::string failure;
    std::vector<WrittenDialog> dialogs;
};

Trace trace;

std::string quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += "\\n";
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

std::string quoted(const char16_t* text) {
    return quoted(utf8Of(text));
}

std::string hex32(std::uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// Numbers and texts joined by blanks.
template <typename... Parts> std::string words(const Parts&... parts) {
    std::string joined;
    ((joined.append(joined.empty() ? "" : " ").append(parts)), ...);
    return joined;
}

// A line of the trace.
template <typename... Parts> std::string line(const Parts&... parts) {
    return words(parts...) + "\n";
}

std::string number(std::int64_t value) {
    return std::to_string(value);
}

void fail(const std::string& what) {
    if (trace.failure.empty()) {
        trace.failure = what;
    }
}

void write(const std::string& lines) {
    std::fwrite(lines.data(), 1, lines.size(), trace.file);
}

constexpr const char* REGISTER_NAMES[] = {"cccr", "cclkcfg"}; // by SimRegisterWrite

// The register writes since the last drain, which empties the log.
void writeRegisterWrites() {
    const int count = simProcessor.writeCount;
    simProcessor.writeCount = 0;
    if (count > SIM_REGISTER_LOG_CAPACITY) {
        fail("the program wrote the clock registers " + number(count) +
             " times between two observations, and the trace keeps " +
             number(SIM_REGISTER_LOG_CAPACITY) + " at most");
        return;
    }
    for (int i = 0; i < count; ++i) {
        const SimRegisterEvent& event = simProcessor.writes[i];
        write(line(REGISTER_NAMES[static_cast<int>(event.target)], hex32(event.value)));
    }
}

// What the program shows, after the register writes that came before it.
void observe(const std::string& lines) {
    if (trace.file == nullptr) {
        return;
    }
    writeRegisterWrites();
    write(lines);
}

std::string iconLines(const char* call, const IconHandle icon) {
    const SimIconPixels* pixels = simIconPixels(icon);
    const int size = pixels != nullptr ? pixels->size : 0;
    std::string lines = line("icon", call, number(size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            char pixel[10];
            std::snprintf(pixel, sizeof pixel, x == 0 ? "%08X" : " %08X",
                          pixels->argb[y * size + x]);
            lines += pixel;
        }
        lines += '\n';
    }
    return lines;
}

void traceIconCall(SimIconCall call, const NotifyIconRecord& record) {
    if (call == SimIconCall::Delete) {
        observe("icon delete\n");
    } else if ((record.flags & NOTIFY_FLAG_ICON) != 0) {
        observe(iconLines(call == SimIconCall::Add ? "add" : "modify", record.icon));
    }
}

// The value as the registry lines write it after its name; false when it is
// none of the types they write.
bool registryValueText(const SimStoredValue& value, std::string& text) {
    const std::vector<std::uint8_t>& bytes = value.bytes;
    if (value.type == REG_DWORD && bytes.size() == 4) {
        text = "dword " + hex32(static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 |
                                                           bytes[2] << 16 | bytes[3] << 24));
        return true;
    }
    if (value.type == REG_SZ && bytes.size() % 2 == 0) {
        std::u16string wide;
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            wide += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
        }
        text = "sz " + quoted(utf8Of(wide));
        return true;
    }
    if (value.type == REG_BINARY) {
        text = "binary ";
        for (const std::uint8_t byte : bytes) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02X", byte);
            text += digits;
        }
        return true;
    }
    return false;
}

struct RegistryLine {
    std::string path;
    std::string name;
    std::string text;
};

// The registry's lines, each starting with `head`, in their order.
std::string registryLines(const std::string& head) {
    std::vector<RegistryLine> lines;
    for (const auto& [folded, key] : simStoredKeys()) {
        const std::string path = std::string(REGISTRY_ROOT) + "\\" + utf8Of(key.path);
        if (key.values.empty()) {
            lines.push_back(RegistryLine{path, "", line(head + path)});
        }
        for (const auto& [foldedName, value] : key.values) {
            const std::string name = utf8Of(value.name);
            std::string text;
            if (!registryValueText(value, text)) {
                fail("the registry value " + path + " " + quoted(name) + " has type " +
                     number(value.type) + " and " + number(value.bytes.size()) +
                     " bytes, which the trace cannot write");
                continue;
            }
            lines.push_back(RegistryLine{path, name, line(head + path, quoted(name), text)});
        }
    }
    std::sort(lines.begin(), lines.end(), [](const RegistryLine& a, const RegistryLine& b) {
        return std::tie(a.path, a.name) < std::tie(b.path, b.name);
    });
    std::string text;
    for (const RegistryLine& registryLine : lines) {
        text += registryLine.text;
    }
    return text;
}

std::string worldFileLines() {
    std::string lines;
    for (int i = 0; i < simFileCount(); ++i) {
        const std::string target = utf8Of(simFileTarget(i));
        const std::string file = quoted(simFilePath(i));
        lines += target.empty() ? line("world file", file)
                                : line("world file", file, "shortcut", quoted(target));
    }
    const SimFiles& files = simHandheld.files;
    for (int i = 0; i < files.folderCount; ++i) {
        if (files.folders[i].path[0] != u'\0') {
            const SimSpecialFolder& folder = files.folders[i];
            lines += line("world folder", number(folder.folder), quoted(folder.path));
        }
    }
    for (int i = 0; i < simPrograms.installed.count; ++i) {
        lines += line("world program", quoted(simPrograms.installed.paths[i]));
    }
    return lines;
}

std::string worldProcessLines() {
    std::string lines;
    for (const std::u16string& card : simStorage.cards) {
        lines += line("world card", quoted(card.c_str()));
    }
    for (int i = 0; i < simProcesses.count; ++i) {
        const ProcessEntry& process = simProcesses.processes[i];
        const std::string entry = words("world process", number(process.processId),
                                        number(process.threadCount), quoted(process.exeFile));
        lines += line(simStartedBySystem(process) ? entry + " system" : entry);
    }
    return lines;
}

// The faults planted in the processor, in the order of FAULT_NAMES, then the countdown.
std::string worldFaultLines() {
    const SimProcessorFaults& faults = simProcessor.faults;
    std::string lines;
    for (const FaultName& fault : FAULT_NAMES) {
        if (faults.*fault.flag) {
            lines += line("world fault", fault.name);
        }
    }
    if (faults.accessesBeforeFault > 0) {
        lines += line("world fault", ACCESS_FAULT, number(faults.accessesBeforeFault));
    }
    return lines;
}

std::string worldProcessorLines() {
    const ProcessorInformation& info = simSystemInfo.processor;
    const OsVersion& version = simSystemInfo.version;
    return line("world processor", processorOptionWord(simHandheld.processorKind), "mainid",
                hex32(simProcessor.mainId), "cachetype", hex32(simProcessor.cacheType), "cccr",
                hex32(simProcessor.cccr), "cclkcfg", hex32(simProcessor.cclkcfg)) +
           worldFaultLines() +
           line("world processor-info", quoted(info.core), quoted(info.name), quoted(info.vendor),
                number(info.clockMhz)) +
           line("world version", number(version.major), number(version.minor),
                number(version.build), number(WINDOWS_CE_PLATFORM), quoted("")) +
           line("world locale", number(simSystemInfo.oemCodePage),
                number(simSystemInfo.ansiCodePage), number(simSystemInfo.defaultLanguageId),
                number(simSystemInfo.userInterfaceLanguageId), number(simSystemInfo.timeZoneBias));
}

std::string worldDeviceLines() {
    const MemoryStatus& memory = simHandheld.memory;
    const PowerStatus& power = simHandheld.power;
    return line("world screen", number(simScreenMetrics.width), number(simScreenMetrics.height),
                number(simScreenMetrics.smallIconWidth), number(simScreenMetrics.iconSize)) +
           line("world display", number(simDisplay.orientation),
                number(simDisplay.supportedOrientations)) +
           line("world memory", number(memory.memoryLoad), number(memory.totalPhysical),
                number(memory.availablePhysical)) +
           line("world power", number(power.acLineStatus), number(power.batteryFlag),
                number(power.batteryLifePercent), number(power.backupBatteryFlag),
                number(power.backupBatteryLifePercent), number(power.batteryVoltage),
                number(power.batteryCurrent), number(power.batteryTemperature),
                number(power.backupBatteryVoltage), number(power.batteryChemistry)) +
           line("world clock", number(simClock.now), number(simClock.loadPercent),
                number(simClock.idleCounterKept ? 1 : 0), number(simClock.idleCounter)) +
           line("world store", number(simStorage.store.storeSize),
                number(simStorage.store.freeSize));
}

// The dialog's caption line and a line for each of its controls.
std::string dialogBlock(const DialogView& dialog) {
    std::string block = line("dialog", quoted(dialog.caption));
    for (const SimWindow& control : simWindowing.windows) {
        if (control.live && control.parent == dialog.window) {
            block += line(number(static_cast<std::uint16_t>(control.id)), quoted(control.title));
        }
    }
    return block;
}

bool sameDialog(const WrittenDialog& written, const DialogView& dialog) {
    return written.window == dialog.window && written.caption == dialog.caption;
}

std::string dialogLines() {
    const std::vector<DialogView> open = openDialogViews();
    std::string lines;
    for (const WrittenDialog& written : trace.dialogs) {
        if (std::none_of(open.begin(), open.end(),
                         [&](const DialogView& dialog) { return sameDialog(written, dialog); })) {
            lines += line("dialog closed", quoted(written.caption));
        }
    }
    std::vector<WrittenDialog> nowWritten;
    for (const DialogView& dialog : open) {
        const std::string block = dialogBlock(dialog);
        const auto before =
            std::find_if(trace.dialogs.begin(), trace.dialogs.end(),
                         [&](const WrittenDialog& written) { return sameDialog(written, dialog); });
        if (before == trace.dialogs.end() || before->block != block) {
            lines += block;
        }
        nowWritten.push_back(WrittenDialog{dialog.window, dialog.caption, block});
    }
    trace.dialogs = nowWritten;
    return lines;
}

std::string menuLines(MenuHandle menu, const std::string& indent) {
    std::string lines;
    MenuItemView item{};
    for (int position = 0; menuItemAt(menu, position, item); ++position) {
        if (item.separator) {
            lines += indent + "separator\n";
            continue;
        }
        const bool popup = item.submenu != MenuHandle::None;
        const char flags[] = {item.checked ? 'x' : '-', item.greyed ? 'g' : '-', '\0'};
        lines += indent + line(popup ? "popup" : number(item.id), flags, quoted(item.text));
        if (popup) {
            lines += menuLines(item.submenu, indent + "  ");
        }
    }
    return lines;
}

} // namespace

bool startTrace(const std::string& path) {
    trace = Trace{std::fopen(path.c_str(), "wb"), path, {}, {}};
    if (trace.file == nullptr) {
        return false;
    }
    simIconWatcher = traceIconCall;
    return true;
}

void traceWorld() {
    if (trace.file != nullptr) {
        write(worldProcessorLines() + worldDeviceLines() + worldProcessLines() + worldFileLines() +
              registryLines("world registry "));
    }
}

void traceStep(int scriptLine, const std::string& text) {
    observe(line("step " + number(scriptLine) + ":", text));
}

void traceAtWait() {
    if (trace.file != nullptr) {
        observe(dialogLines());
    }
}

void traceMenu(MenuHandle menu) {
    observe("menu\n" + menuLines(menu, "  "));
}

void traceChosen(std::uint32_t id) {
    observe(line("chosen", number(id)));
}

void traceMessageBox(const char16_t* text, const char16_t* caption, std::uint32_t style,
                     int answer) {
    observe(
        line("messagebox", quoted(caption), quoted(text), hex32(style), "answer", number(answer)));
}

void traceSecondExit(int exitCode) {
    observe(line("second exit", number(exitCode)));
}

void traceExit(int exitCode) {
    if (trace.file != nullptr) {
        observe(line("exit", number(exitCode)) + registryLines("registry "));
    }
}

const std::string& traceFailure() {
    return trace.failure;
}

bool endTrace(bool keep) {
    if (trace.file == nullptr) {
        return true;
    }
    simIconWatcher = nullptr;
    const bool written = std::ferror(trace.file) == 0;
    const bool closed = std::fclose(trace.file) == 0;
    trace.file = nullptr;
    const bool kept = keep && written && closed;
    if (!kept) {
        std::remove(trace.path.c_str());
    }
    return kept || !keep;
}

#include "platform/sim/terminal/interactive.h"

#include "platform/message_box.h"
#include "platform/sim/sim_driver.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_shared.h"
#include "platform/sim/terminal/screen_text.h"
#include "platform/sim/terminal/world.h"
#include "platform/sim/utf8.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

// A terminal cell is 4 x 8 dialog units: a dialog unit is a quarter of the
// font's average character width and an eighth of its height.
constexpr int DIALOG_UNITS_PER_COLUMN = 4;
constexpr int DIALOG_UNITS_PER_ROW = 8;
// The screen is shown at 6 x 12 pixels a cell on QVGA (twice that on VGA); the
// tray icon, pixel for pixel, two pixels a cell.
constexpr int QVGA_PIXELS_PER_COLUMN = 6;
constexpr int QVGA_PIXELS_PER_ROW = 12;
constexpr int QVGA_WIDTH = 240;
constexpr int PANEL_WIDTH = 56;
constexpr int LONGEST_MENU_TEXT = 24;
constexpr int SPEEDS[] = {1, 10, 60};
constexpr std::uint32_t TASKBAR_RGB = 0x000080;
constexpr std::uint32_t SCREEN_RGB = 0xF0F0F0;
constexpr std::uint32_t MB_TYPE_MASK = 0xF;
constexpr std::uint32_t MB_TYPE_YES_NO = 0x4;
constexpr std::uint32_t CCCR_WRITTEN_BY_OTHERS = 0x0108; // 104 MHz on either family's bits
constexpr std::uint8_t BATTERY_STEP = 10;
constexpr const char16_t* STARTED_PROGRAM = u"pword.exe";
constexpr std::uint32_t ROTATIONS[] = {0, 1, 2, 4}; // ORIENTATION_0, _90, _180, _270

enum class Key { None, Up, Down, Left, Right, Enter, Escape, Click, Other };

struct Input {
    Key key;
    char character;
    int column; // of a click, from 1
    int row;
};

struct Terminal {
    bool active;
    termios saved;
    int wakePipe[2] = {-1, -1}; // signals write here to wake the wait
    bool entered;               // raw mode and the alternate screen were set up
    volatile std::sig_atomic_t resized;
    volatile std::sig_atomic_t interrupted;
    int columns;
    int rows;
};

Terminal terminal;
SimProcessorKind shownProcessor;
int speedChoice = 0;
int rotationChoice = 0;
std::uint32_t lastStartedProcess = 0;
std::string frame; // what one redraw writes
std::timespec lastWake;

constexpr char RESTORE_SEQUENCE[] = "\x1b[0m\x1b[?1000l\x1b[?1006l\x1b[?25h\x1b[?1049l";

void writeAll(const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, length);
        if (written <= 0) {
            return;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
}

void restoreTerminal() {
    if (terminal.active) {
        terminal.active = false;
        writeAll(RESTORE_SEQUENCE, sizeof RESTORE_SEQUENCE - 1);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &terminal.saved);
    }
}

void onCrash(int signalNumber) {
    restoreTerminal(); // write and tcsetattr only: safe in a handler
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void wake() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(terminal.wakePipe[1], &byte, 1);
}

void onResize(int) {
    terminal.resized = 1;
    wake();
}

void onInterrupt(int) {
    terminal.interrupted = 1;
    wake();
}

void measureTerminal() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        terminal.columns = size.ws_col;
        terminal.rows = size.ws_row;
    }
}

// --- drawing -------------------------------------------------------------

void moveTo(int column, int row) {
    frame += "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
}

void colours(std::uint32_t foreground, std::uint32_t background) {
    char sequence[64];
    std::snprintf(sequence, sizeof sequence, "\x1b[38;2;%u;%u;%um\x1b[48;2;%u;%u;%um",
                  foreground >> 16 & 0xFF, foreground >> 8 & 0xFF, foreground & 0xFF,
                  background >> 16 & 0xFF, background >> 8 & 0xFF, background & 0xFF);
    frame += sequence;
}

void plain() {
    frame += "\x1b[0m";
}

// Characters of a UTF-8 text (not its bytes).
int widthOf(const std::string& text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The text cut or padded to `width` characters.
std::string fitted(const std::string& text, int width) {
    std::string result;
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > width) {
            break;
        }
        result += text[i];
    }
    return result +
           std::string(static_cast<std::size_t>(std::max(0, width - widthOf(result))), ' ');
}

struct Layout {
    int screenColumns; // the screen, in cells, inside its frame
    int screenRows;
    int pixelsPerColumn;
    int pixelsPerRow;
    int iconColumn; // the tray icon's top-left cell
    int iconRow;
    int iconRows;
};

Layout layout() {
    // The metrics are the turned screen's, as the device reports them.
    const int width = simScreenMetrics.width;
    const int height = simScreenMetrics.height;
    const int scale = std::max(1, std::min(width, height) / QVGA_WIDTH);
    Layout sizes{};
    sizes.pixelsPerColumn = QVGA_PIXELS_PER_COLUMN * scale;
    sizes.pixelsPerRow = QVGA_PIXELS_PER_ROW * scale;
    sizes.screenColumns = width / sizes.pixelsPerColumn;
    sizes.screenRows = height / sizes.pixelsPerRow;
    const int iconSize = simNotificationArea.iconPresent ? simNotificationArea.shown.size : 0;
    sizes.iconRows = (iconSize + 1) / 2;
    sizes.iconColumn = 2 + sizes.screenColumns - iconSize - 1;
    sizes.iconRow = 2 + sizes.screenRows - sizes.iconRows;
    return sizes;
}

int neededColumns(const Layout& sizes) {
    return sizes.screenColumns + 2 + PANEL_WIDTH;
}

std::string repeated(const char* piece, int times) {
    std::string line;
    for (int i = 0; i < times; ++i) {
        line += piece;
    }
    return line;
}

// The screen in its frame, the taskbar at the bottom as high as the icon.
void drawScreen(const Layout& sizes) {
    plain();
    moveTo(1, 1);
    frame += "┌" + repeated("─", sizes.screenColumns) + "┐";
    for (int row = 0; row < sizes.screenRows; ++row) {
        moveTo(1, 2 + row);
        frame += "│";
        colours(0, 2 + row >= sizes.iconRow - 1 ? TASKBAR_RGB : SCREEN_RGB);
        frame += std::string(static_cast<std::size_t>(sizes.screenColumns), ' ');
        plain();
        frame += "│";
    }
    moveTo(1, 2 + sizes.screenRows);
    frame += "└" + repeated("─", sizes.screenColumns) + "┘";
}

std::uint32_t rgbOver(std::uint32_t argb, std::uint32_t background) {
    return argb >> 24 == 0 ? background : (argb & 0xFFFFFF);
}

// Two pixels a cell: the upper half block in the top pixel's colour over the
// bottom pixel's.
void drawIcon(const Layout& sizes) {
    const SimIconPixels& icon = simNotificationArea.shown;
    if (!simNotificationArea.iconPresent) {
        return;
    }
    for (int cellRow = 0; cellRow < sizes.iconRows; ++cellRow) {
        moveTo(sizes.iconColumn, sizes.iconRow + cellRow);
        for (int x = 0; x < icon.size; ++x) {
            const int top = 2 * cellRow;
            const std::uint32_t upper = rgbOver(icon.argb[top * icon.size + x], TASKBAR_RGB);
            const std::uint32_t lower =
                top + 1 < icon.size ? rgbOver(icon.argb[(top + 1) * icon.size + x], TASKBAR_RGB)
                                    : TASKBAR_RGB;
            colours(upper, lower);
            frame += "▀";
        }
    }
    plain();
}

const char* const KEY_HELP[] = {
    "Keys",
    "  t, Enter, click the icon  tap the icon",
    "  arrows Enter Esc  walk the menu",
    "  o                 OK of the dialog on top",
    "  c   another program writes the CCCR (104 MHz)",
    "  p   external power in / out",
    "  + - battery charge up / down 10 %",
    "  s / e   a program starts / the last one ends",
    "  r   turn the screen 90 degrees",
    "  0-9 a second copy starts with \"#0\"..\"#9\"",
    "  f   time runs 1x / 10x / 60x",
    "  q, Ctrl-C  end the program",
};

void drawPanel(const Layout& sizes) {
    const int column = sizes.screenColumns + 4;
    int row = 1;
    plain();
    moveTo(column, row++);
    frame += "\x1b[1mDevice\x1b[0m  (time x" + std::to_string(SPEEDS[speedChoice]) + ")";
    for (const std::string& line : devicePanelLines(shownProcessor)) {
        moveTo(column, row++);
        frame += fitted(line, PANEL_WIDTH - 4);
    }
    ++row;
    for (const char* line : KEY_HELP) {
        moveTo(column, row++);
        frame += fitted(line, PANEL_WIDTH - 4);
    }
}

// The framed screen or the panel beside it (its title, the device lines, a
// blank line and the keys), whichever is taller.
int neededRows(const Layout& sizes) {
    const std::size_t panelRows = devicePanelLines(shownProcessor).size() + std::size(KEY_HELP) + 2;
    return std::max(sizes.screenRows + 2, static_cast<int>(panelRows));
}

void drawBox(int column, int row, int width, const std::vector<std::string>& lines,
             const std::string& title) {
    moveTo(column, row);
    colours(0xFFFFFF, TASKBAR_RGB);
    frame += "\x1b[1m" + fitted(" " + title, width) + "\x1b[22m";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        moveTo(column, row + 1 + static_cast<int>(i));
        colours(0, 0xFFFFFF);
        frame += fitted(lines[i], width);
    }
    plain();
}

// Dialogs where their templates put them, centred on the screen.
void drawDialogs(const Layout& sizes) {
    for (const DialogView& dialog : openDialogViews()) {
        const int width = std::max(dialog.width / DIALOG_UNITS_PER_COLUMN, 16);
        const int height = std::max(dialog.height / DIALOG_UNITS_PER_ROW, 1);
        const std::vector<std::string> lines(static_cast<std::size_t>(height));
        const int column = 2 + std::max(0, (sizes.screenColumns - width) / 2);
        const int row = 2 + std::max(0, (sizes.screenRows - height - 1) / 2);
        drawBox(column, row, width, lines, dialog.caption);
        moveTo(column + width - 4, row);
        colours(0xFFFFFF, TASKBAR_RGB);
        frame += "[OK]";
        for (const ControlView& control : dialog.controls) {
            const int controlRow = control.y / DIALOG_UNITS_PER_ROW;
            if (controlRow >= height) {
                continue;
            }
            const int controlColumn = control.x / DIALOG_UNITS_PER_COLUMN;
            moveTo(column + controlColumn, row + 1 + controlRow);
            colours(0, 0xFFFFFF);
            frame += fitted(control.text,
                            std::max(1, std::min(control.width / DIALOG_UNITS_PER_COLUMN + 1,
                                                 width - controlColumn)));
        }
        plain();
    }
}

void beginFrame() {
    measureTerminal();
    frame = "\x1b[0m\x1b[2J";
}

void endFrame() {
    writeAll(frame.data(), frame.size());
}

bool drawHandheld() {
    const Layout sizes = layout();
    if (terminal.columns < neededColumns(sizes) || terminal.rows < neededRows(sizes)) {
        moveTo(1, 1);
        frame += "The terminal is " + std::to_string(terminal.columns) + " x " +
                 std::to_string(terminal.rows) + "; the handheld needs at least " +
                 std::to_string(neededColumns(sizes)) + " x " + std::to_string(neededRows(sizes)) +
                 ". Make it larger, or press q to end.";
        return false;
    }
    drawScreen(sizes);
    drawIcon(sizes);
    drawPanel(sizes);
    drawDialogs(sizes);
    return true;
}

// --- input ---------------------------------------------------------------

std::vector<Input> readInputs() {
    char bytes[128];
    const ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
    if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN)) {
        terminal.interrupted = 1; // the terminal is gone: end as on a hang-up
    }
    std::vector<Input> inputs;
    for (ssize_t i = 0; i < count; ++i) {
        const char c = bytes[i];
        if (c == '\x1b' && i + 2 < count && bytes[i + 1] == '[' && bytes[i + 2] == '<') {
            int button = 0, column = 0, row = 0;
            char kind = 0;
            const std::string rest(bytes + i + 3, static_cast<std::size_t>(count - i - 3));
            int used = 0;
            if (std::sscanf(rest.c_str(), "%d;%d;%d%c%n", &button, &column, &row, &kind, &used) ==
                4) {
                if (kind == 'M' && button == 0) {
                    inputs.push_back({Key::Click, 0, column, row});
                }
                i += 2 + used;
                continue;
            }
        }
        if (c == '\x1b' && i + 2 < count && (bytes[i + 1] == '[' || bytes[i + 1] == 'O')) {
            constexpr struct {
                char code;
                Key key;
            } ARROWS[] = {{'A', Key::Up}, {'B', Key::Down}, {'C', Key::Right}, {'D', Key::Left}};
            Key key = Key::Other;
            for (const auto& arrow : ARROWS) {
                key = bytes[i + 2] == arrow.code ? arrow.key : key;
            }
            inputs.push_back({key, 0, 0, 0});
            i += 2;
            continue;
        }
        const Key key = c == '\x1b'                ? Key::Escape
                        : (c == '\r' || c == '\n') ? Key::Enter
                                                   : Key::Other;
        inputs.push_back({key, c, 0, 0});
    }
    return inputs;
}

double secondsSince(const std::timespec& then) {
    std::timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec - then.tv_sec) +
           static_cast<double>(now.tv_nsec - then.tv_nsec) / 1e9;
}

// Waits for a key, a signal or `timeoutMs` (-1: no limit); true when there is input.
bool waitForInput(int timeoutMs) {
    // Another copy's request wakes the wait too; the message loop then takes it.
    pollfd watched[3] = {{STDIN_FILENO, POLLIN, 0},
                         {terminal.wakePipe[0], POLLIN, 0},
                         {simSharedMessagesFd(), POLLIN, 0}};
    const int ready = poll(watched, watched[2].fd >= 0 ? 3 : 2, timeoutMs);
    if (ready > 0 && (watched[1].revents & POLLIN) != 0) {
        char drained[16];
        [[maybe_unused]] const ssize_t ignored =
            read(terminal.wakePipe[0], drained, sizeof drained);
    }
    return ready > 0 && (watched[0].revents & POLLIN) != 0;
}

bool isIconCell(const Input& input) {
    const Layout sizes = layout();
    return simNotificationArea.iconPresent && input.row >= sizes.iconRow &&
           input.row < sizes.iconRow + sizes.iconRows && input.column >= sizes.iconColumn &&
           input.column < sizes.iconColumn + simNotificationArea.shown.size;
}

void actOnKey(const Input& input) {
    if (input.key == Key::Click) {
        if (isIconCell(input)) {
            worldTapIcon();
        }
        return;
    }
    if (input.key == Key::Enter && !openDialogViews().empty()) {
        worldPressDialogOk();
        return;
    }
    const char c = input.character;
    if (c >= '0' && c <= '9') {
        const char16_t line[] = {u'#', static_cast<char16_t>(c), u'\0'};
        worldStartSecondCopy(line);
        return;
    }
    switch (c) {
    case 't':
    case ' ':
    case '\r':
    case '\n':
        worldTapIcon();
        break;
    case 'o':
        worldPressDialogOk();
        break;
    case 'c':
        worldWriteCccr((simProcessor.cccr & 0xFFFF0000u) | CCCR_WRITTEN_BY_OTHERS);
        break;
    case 'p':
        worldSetExternalPower(simHandheld.power.acLineStatus == 0);
        break;
    case '+':
        worldSetBatteryPercent(static_cast<std::uint8_t>(
            std::min(100, simHandheld.power.batteryLifePercent + BATTERY_STEP)));
        break;
    case '-':
        worldSetBatteryPercent(static_cast<std::uint8_t>(
            std::max(0, simHandheld.power.batteryLifePercent - BATTERY_STEP)));
        break;
    case 's':
        lastStartedProcess = worldStartProcess(STARTED_PROGRAM, 1);
        break;
    case 'e':
        if (lastStartedProcess != 0) {
            worldEndProcess(lastStartedProcess);
            lastStartedProcess = 0;
        }
        break;
    case 'r':
        rotationChoice = (rotationChoice + 1) % 4;
        worldRotateScreen(ROTATIONS[rotationChoice]);
        break;
    case 'f':
        speedChoice = (speedChoice + 1) % static_cast<int>(std::size(SPEEDS));
        break;
    case 'q':
    case '\x03':
        worldCloseProgram();
        break;
    default:
        break;
    }
}

// Moves virtual time on by the real time since the last wake, at the chosen
// speed, up to `dueMs`.
void catchUp(std::uint64_t dueMs) {
    const double seconds = secondsSince(lastWake);
    clock_gettime(CLOCK_MONOTONIC, &lastWake);
    const std::uint64_t passed = static_cast<std::uint64_t>(seconds * 1000.0 * SPEEDS[speedChoice]);
    const std::uint64_t until = std::min(dueMs, simClock.now + passed);
    if (until > simClock.now) {
        simAdvanceClock(until - simClock.now);
    }
}

// Real milliseconds, at the present speed, until virtual time reaches `dueMs`
// (at most a minute); -1 for never.
int realTimeoutUntil(std::uint64_t dueMs) {
    if (dueMs == UINT64_MAX) {
        return -1;
    }
    const std::uint64_t left = dueMs > simClock.now ? dueMs - simClock.now : 0;
    return static_cast<int>(
        std::min<std::uint64_t>(left / static_cast<unsigned>(SPEEDS[speedChoice]) + 1, 60000));
}

void waitInTerminal(std::uint64_t dueMs) {
    if (terminal.interrupted != 0) {
        terminal.interrupted = 0;
        worldCloseProgram();
        return;
    }
    beginFrame();
    drawHandheld();
    endFrame();
    catchUp(dueMs);
    const bool input = waitForInput(realTimeoutUntil(dueMs));
    catchUp(dueMs);
    if (input) {
        for (const Input& key : readInputs()) {
            actOnKey(key);
        }
    }
}

// --- the popup menu and message boxes --------------------------------------

struct MenuLevel {
    MenuHandle menu;
    int selected;
    int column; // where it is drawn
    int row;
};

std::vector<MenuItemView> entriesOf(MenuHandle menu) {
    std::vector<MenuItemView> entries;
    MenuItemView item{};
    for (int position = 0; menuItemAt(menu, position, item); ++position) {
        entries.push_back(item);
    }
    return entries;
}

std::string entryText(const MenuItemView& item) {
    if (item.separator) {
        return std::string(LONGEST_MENU_TEXT + 2, '-');
    }
    std::string text = utf8Of(item.text);
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return (item.checked ? "✓ " : "  ") + fitted(text, LONGEST_MENU_TEXT - 2) +
           (item.submenu != MenuHandle::None ? " ▶" : "  ");
}

void drawMenuLevel(const MenuLevel& level) {
    const std::vector<MenuItemView> entries = entriesOf(level.menu);
    const int visible = std::min(static_cast<int>(entries.size()), terminal.rows - level.row + 1);
    const int first = std::max(0, level.selected - visible + 1);
    for (int i = 0; i < visible; ++i) {
        const MenuItemView& item = entries[static_cast<std::size_t>(first + i)];
        moveTo(level.column, level.row + i);
        const bool selected = first + i == level.selected;
        colours(item.greyed ? 0x909090 : (selected ? 0xFFFFFF : 0),
                selected ? TASKBAR_RGB : 0xFFFFFF);
        frame += entryText(item);
    }
    plain();
}

int menuHeight(MenuHandle menu) {
    return static_cast<int>(entriesOf(menu).size());
}

void drawMenus(const std::vector<MenuLevel>& levels) {
    beginFrame();
    drawHandheld();
    for (const MenuLevel& level : levels) {
        drawMenuLevel(level);
    }
    endFrame();
}

int step(MenuHandle menu, int from, int direction) {
    const std::vector<MenuItemView> entries = entriesOf(menu);
    const int count = static_cast<int>(entries.size());
    for (int tries = 0, at = from; tries < count; ++tries) {
        at = (at + direction + count) % count;
        if (!entries[static_cast<std::size_t>(at)].separator) {
            return at;
        }
    }
    return from;
}

MenuLevel levelAt(MenuHandle menu, int column, int row) {
    const int height = menuHeight(menu);
    const int top = std::max(1, std::min(row, terminal.rows - height + 1));
    const int left = std::max(1, std::min(column, terminal.columns - LONGEST_MENU_TEXT - 2));
    return MenuLevel{menu, step(menu, -1, 1), left, top};
}

// The popup with its bottom-right corner where the program asked, then each
// submenu beside the entry that opens it.
// Waits for keys while a menu or a message box is up; meanwhile time passes and
// its loop delivers the program's timer ticks and other copies' requests, as
// the device's modal loops do. True when keys came.
bool waitForInputInModalLoop() {
    const std::uint64_t due = simNextTimerDue();
    const bool input = waitForInput(realTimeoutUntil(due));
    catchUp(due);
    simPostDueTimers();
    simReceiveSharedMessages(); // another copy waits for an answer
    simRunModalLoop();
    return input;
}

std::uint32_t chooseInTerminal(MenuHandle menu, int x, int y) {
    const Layout sizes = layout();
    const int right = 2 + x / sizes.pixelsPerColumn;
    const int bottom = 2 + y / sizes.pixelsPerRow;
    std::vector<MenuLevel> levels = {
        levelAt(menu, right - LONGEST_MENU_TEXT - 2, bottom - menuHeight(menu) + 1)};
    for (;;) {
        if (terminal.interrupted != 0) {
            return 0;
        }
        drawMenus(levels);
        if (!waitForInputInModalLoop()) {
            continue;
        }
        for (const Input& input : readInputs()) {
            MenuLevel& level = levels.back();
            const std::vector<MenuItemView> entries = entriesOf(level.menu);
            const MenuItemView& item = entries[static_cast<std::size_t>(level.selected)];
            if (input.key == Key::Up || input.key == Key::Down) {
                level.selected = step(level.menu, level.selected, input.key == Key::Up ? -1 : 1);
            } else if ((input.key == Key::Right || input.key == Key::Enter) &&
                       item.submenu != MenuHandle::None && !item.greyed) {
                levels.push_back(levelAt(item.submenu, level.column + LONGEST_MENU_TEXT + 2,
                                         level.row + level.selected));
            } else if (input.key == Key::Enter && !item.greyed &&
                       item.submenu == MenuHandle::None) {
                return item.id;
            } else if (input.key == Key::Left || input.key == Key::Escape) {
                if (levels.size() == 1) {
                    return 0;
                }
                levels.pop_back();
            } else if (input.character == 'q' || input.character == '\x03') {
                return 0;
            }
        }
    }
}

std::vector<std::string> wrapped(const std::string& text, int width) {
    std::vector<std::string> lines(1);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        if (!lines.back().empty() && widthOf(lines.back()) + 1 + widthOf(word) > width) {
            lines.emplace_back();
        }
        lines.back() += (lines.back().empty() ? "" : " ") + word;
        at = end + 1;
    }
    return lines;
}

int answerInTerminal(const char16_t* text, const char16_t* caption, std::uint32_t style) {
    const bool yesNo = (style & MB_TYPE_MASK) == MB_TYPE_YES_NO;
    const int byDefault = yesNo ? MB_ANSWER_NO : MB_ANSWER_OK;
    const Layout sizes = layout();
    const int width = std::max(20, sizes.screenColumns - 4);
    std::vector<std::string> lines = wrapped(utf8Of(std::u16string(text)), width - 2);
    for (std::string& line : lines) {
        line = " " + line;
    }
    lines.push_back("");
    lines.push_back(yesNo ? "   [Y]es   [N]o" : "   [OK] (Enter)");
    for (;;) {
        if (terminal.interrupted != 0) {
            return byDefault;
        }
        beginFrame();
        if (drawHandheld()) {
            drawBox(4, 4, width, lines, utf8Of(std::u16string(caption)));
        }
        endFrame();
        if (!waitForInputInModalLoop()) {
            continue;
        }
        for (const Input& input : readInputs()) {
            if (yesNo && (input.character == 'y' || input.character == 'n')) {
                return input.character == 'y' ? MB_ANSWER_YES : MB_ANSWER_NO;
            }
            if (input.key == Key::Enter || input.key == Key::Escape || input.character == 'q') {
                return byDefault;
            }
        }
    }
}

// The terminal is taken over when the program first waits or asks: a second
// copy, which only hands its request over, leaves it as it is.
void enterTerminal() {
    if (terminal.entered) {
        return;
    }
    terminal.entered = true;
    termios raw = terminal.saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
    terminal.active = true;
    constexpr char ENTER_SEQUENCE[] = "\x1b[?1049h\x1b[?25l\x1b[?1000h\x1b[?1006h";
    writeAll(ENTER_SEQUENCE, sizeof ENTER_SEQUENCE - 1);
    for (const int crash : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        std::signal(crash, onCrash);
    }
    std::signal(SIGWINCH, onResize);
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    std::signal(SIGHUP, onInterrupt);
    clock_gettime(CLOCK_MONOTONIC, &lastWake);
}

void waitEnteringTerminal(std::uint64_t dueMs) {
    enterTerminal();
    waitInTerminal(dueMs);
}

std::uint32_t chooseEnteringTerminal(MenuHandle menu, int x, int y) {
    enterTerminal();
    return chooseInTerminal(menu, x, y);
}

int answerEnteringTerminal(const char16_t* text, const char16_t* caption, std::uint32_t style) {
    enterTerminal();
    return answerInTerminal(text, caption, style);
}

} // namespace

bool startInteractive(SimProcessorKind processor) {
    if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0 ||
        tcgetattr(STDIN_FILENO, &terminal.saved) != 0 || pipe(terminal.wakePipe) != 0) {
        return false;
    }
    shownProcessor = processor;
    worldStartRun();
    simDriver = SimDriver{waitEnteringTerminal, chooseEnteringTerminal, answerEnteringTerminal};
    return true;
}

void endInteractive() {
    restoreTerminal();
    simDriver = SimDriver{};
}

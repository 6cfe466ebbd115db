#include "platform/sim/terminal/interactive.h"

#include "clock/clock_arithmetic.h"
#include "platform/message_box.h"
#include "platform/sim/ico_image.h"
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

// The screen is shown at 6 x 12 pixels a cell on QVGA (twice that on VGA), its
// taskbar and tray icon too; the device panel shows the tray icon again pixel
// for pixel, two pixels a cell, so that it can be read.
constexpr int QVGA_PIXELS_PER_COLUMN = 6;
constexpr int QVGA_PIXELS_PER_ROW = 12;
constexpr int QVGA_WIDTH = 240;
constexpr int QVGA_TASKBAR_HEIGHT = 26; // pixels
constexpr int PANEL_WIDTH = 56;
constexpr int KEY_HELP_WIDTH = 46; // the magnified icon stands right of the keys
constexpr int SPEEDS[] = {1, 10, 60};
constexpr std::uint32_t TASKBAR_RGB = 0x000080;
constexpr std::uint32_t SCREEN_RGB = 0xF0F0F0;
constexpr std::uint32_t MENU_RGB = 0xFFFFFF;
constexpr std::uint8_t BATTERY_STEP = 10;
constexpr std::uint32_t MB_TYPE_MASK = 0xF;
constexpr std::uint32_t MB_TYPE_YES_NO = 0x4;
constexpr const char16_t* STARTED_PROGRAM = u"pword.exe";

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
bool leaving = false; // q or Ctrl-C: menus and boxes close at once
std::string frame;    // what one redraw writes
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

// A rectangle of cells, from its top-left cell.
struct Cells {
    int column, row, columns, rows;

    bool holds(int x, int y) const {
        return x >= column && x < column + columns && y >= row && y < row + rows;
    }
};

struct Layout {
    int screenColumns; // the screen, in cells, inside its frame
    int screenRows;
    int pixelsPerColumn;
    int pixelsPerRow;
    int taskbarRows;
    Cells trayIcon;  // in the taskbar, at the screen's scale
    Cells panelIcon; // in the panel, two pixels a cell
    int panelWidth;
};

int cellsFor(int pixels, int pixelsPerCell) {
    return std::max(1, (pixels + pixelsPerCell - 1) / pixelsPerCell);
}

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
    sizes.taskbarRows = cellsFor(QVGA_TASKBAR_HEIGHT * scale - sizes.pixelsPerRow / 2,
                                 sizes.pixelsPerRow); // rounded
    const int iconSize = simScreenMetrics.smallIconWidth;
    const int trayColumns = cellsFor(iconSize, sizes.pixelsPerColumn);
    sizes.trayIcon =
        Cells{2 + sizes.screenColumns - trayColumns - 1, 2 + sizes.screenRows - sizes.taskbarRows,
              trayColumns, cellsFor(iconSize, sizes.pixelsPerRow)};
    sizes.panelWidth = std::max(PANEL_WIDTH, KEY_HELP_WIDTH + 2 + iconSize);
    const int panelRow = 2 + static_cast<int>(devicePanelLines(shownProcessor).size()) + 2;
    sizes.panelIcon =
        Cells{sizes.screenColumns + 4 + KEY_HELP_WIDTH + 2, panelRow, iconSize, (iconSize + 1) / 2};
    return sizes;
}

int neededColumns(const Layout& sizes) {
    return sizes.screenColumns + 2 + sizes.panelWidth;
}

std::string repeated(const char* piece, int times) {
    std::string line;
    for (int i = 0; i < times; ++i) {
        line += piece;
    }
    return line;
}

// The screen in its frame, the taskbar at the bottom.
void drawScreen(const Layout& sizes) {
    plain();
    moveTo(1, 1);
    frame += "┌" + repeated("─", sizes.screenColumns) + "┐";
    for (int row = 0; row < sizes.screenRows; ++row) {
        moveTo(1, 2 + row);
        frame += "│";
        colours(0, row >= sizes.screenRows - sizes.taskbarRows ? TASKBAR_RGB : SCREEN_RGB);
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

// An image drawn into `cells`, two image rows a cell with the upper half block
// in the top pixel's colour over the bottom pixel's; each cell's pixels are
// sampled from the image scaled to the cells.
void drawImage(const SimIconPixels& image, const Cells& cells, std::uint32_t background) {
    if (image.size == 0) {
        return;
    }
    const auto pixel = [&](int column, int halfRow) {
        const int x = column * image.size / cells.columns;
        const int y = halfRow * image.size / (2 * cells.rows);
        return rgbOver(image.argb[y * image.size + x], background);
    };
    for (int row = 0; row < cells.rows; ++row) {
        moveTo(cells.column, cells.row + row);
        for (int column = 0; column < cells.columns; ++column) {
            colours(pixel(column, 2 * row), pixel(column, 2 * row + 1));
            frame += "▀";
        }
    }
    plain();
}

void drawTrayIcon(const Layout& sizes) {
    if (simNotificationArea.iconPresent) {
        drawImage(simNotificationArea.shown, sizes.trayIcon, TASKBAR_RGB);
    }
}

// The tray icon magnified, pixel for pixel, right of the keys.
void drawPanelIcon(const Layout& sizes) {
    moveTo(sizes.panelIcon.column, sizes.panelIcon.row - 1);
    frame += simNotificationArea.iconPresent ? "Tray icon" : "No tray icon";
    if (simNotificationArea.iconPresent) {
        drawImage(simNotificationArea.shown, sizes.panelIcon, TASKBAR_RGB);
    }
}

// What the `c` key writes, in the processor's own MHz.
std::string othersCccrLegend() {
    if (shownProcessor == SimProcessorKind::Unrecognised) {
        return "  c   another program writes the CCCR";
    }
    return "  c   another program writes CCCR: " +
           std::to_string(cccrToMhz(worldOthersCccr(), false)) + " MHz";
}

std::vector<std::string> keyHelp() {
    return {
        "Keys",
        "  t, Enter, click an icon  tap the tray icon",
        "  arrows Enter Esc  walk the menu",
        "  y n Enter  answer a box (Enter: its default)",
        "  o   OK of the dialog on top",
        othersCccrLegend(),
        "  p   external power in / out",
        "  + - battery charge up / down 10 %",
        "  l   load 5 / 50 / 95 %",
        "  m   another program takes / gives back 8 MB",
        "  s / e  a program starts / the last one ends",
        "  r   turn the screen 90 degrees",
        "  0-9 a copy starts with \"#0\"..\"#9\"",
        "  f   time runs 1x / 10x / 60x",
        "  q, Ctrl-C  end the program",
    };
}

void drawPanel(const Layout& sizes) {
    const int column = sizes.screenColumns + 4;
    int row = 1;
    plain();
    moveTo(column, row++);
    frame += "\x1b[1mDevice\x1b[0m  (time x" + std::to_string(SPEEDS[speedChoice]) + ")";
    for (const std::string& line : devicePanelLines(shownProcessor)) {
        moveTo(column, row++);
        frame += fitted(line, sizes.panelWidth - 4);
    }
    ++row;
    for (const std::string& line : keyHelp()) {
        moveTo(column, row++);
        frame += fitted(line, KEY_HELP_WIDTH);
    }
    drawPanelIcon(sizes);
}

// The framed screen or the panel beside it (its title, the device lines, a
// blank line, and the keys with the magnified icon beside them), whichever is
// taller.
int neededRows(const Layout& sizes) {
    const int keysOrIcon = std::max(static_cast<int>(keyHelp().size()), sizes.panelIcon.rows + 1);
    const int panelRows =
        static_cast<int>(devicePanelLines(shownProcessor).size()) + 2 + keysOrIcon;
    return std::max(sizes.screenRows + 2, panelRows);
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

// The application icon at the size the screen's icons have.
const SimIconPixels& applicationIcon() {
    static SimIconPixels icon;
    if (icon.size != simScreenMetrics.iconSize) {
        decodeIcoImage(APPLICATION_ICON_FILE, APPLICATION_ICON_FILE_SIZE, simScreenMetrics.iconSize,
                       icon);
    }
    return icon;
}

// Dialogs centred on the screen, their controls laid out so that no text runs
// into another; an icon control shows the application icon at the screen's
// scale.
void drawDialogs(const Layout& sizes) {
    const int iconColumns = cellsFor(simScreenMetrics.iconSize, sizes.pixelsPerColumn);
    const int iconRows = cellsFor(simScreenMetrics.iconSize, sizes.pixelsPerRow);
    for (const DialogView& dialog : openDialogViews()) {
        const DialogLayout placed = layOutDialog(dialog, iconColumns, iconRows);
        const int width = std::min(std::max(placed.columns, 16), sizes.screenColumns);
        const int height = std::min(std::max(placed.rows, 1), sizes.screenRows - 1);
        const std::vector<std::string> lines(static_cast<std::size_t>(height));
        const int column = 2 + (sizes.screenColumns - width) / 2;
        const int row = 2 + (sizes.screenRows - height - 1) / 2;
        drawBox(column, row, width, lines, dialog.caption);
        moveTo(column + width - 4, row);
        colours(0xFFFFFF, TASKBAR_RGB);
        frame += "[OK]";
        for (const PlacedControl& control : placed.controls) {
            if (control.row >= height || control.column >= width) {
                continue;
            }
            if (control.control->icon) {
                drawImage(applicationIcon(),
                          Cells{column + control.column, row + 1 + control.row,
                                std::min(control.columns, width - control.column),
                                std::min(control.rows, height - control.row)},
                          0xFFFFFF);
                continue;
            }
            moveTo(column + control.column, row + 1 + control.row);
            colours(0, 0xFFFFFF);
            frame +=
                fitted(control.control->text, std::min(control.columns, width - control.column));
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

std::vector<std::string> wrapped(const std::string& text, int width);

// Alone on the cleared screen, wrapped at whole words.
void drawTooSmall(const Layout& sizes) {
    const std::string message = "The terminal is " + std::to_string(terminal.columns) + " x " +
                                std::to_string(terminal.rows) + "; the handheld needs at least " +
                                std::to_string(neededColumns(sizes)) + " x " +
                                std::to_string(neededRows(sizes)) +
                                ". Make it larger, or press q to end.";
    int row = 1;
    for (const std::string& line : wrapped(message, std::max(1, terminal.columns))) {
        moveTo(1, row++);
        frame += line;
    }
}

// False when the terminal is too small: then only the message that says so.
bool drawHandheld() {
    const Layout sizes = layout();
    if (terminal.columns < neededColumns(sizes) || terminal.rows < neededRows(sizes)) {
        drawTooSmall(sizes);
        return false;
    }
    drawScreen(sizes);
    drawTrayIcon(sizes);
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
    return simNotificationArea.iconPresent && (sizes.trayIcon.holds(input.column, input.row) ||
                                               sizes.panelIcon.holds(input.column, input.row));
}

// Asks the program to end; menus and boxes up now or later close at once.
void leave() {
    leaving = true;
    worldCloseProgram();
}

// The world's keys, which work whatever is up on the screen; false for any other key.
bool actOnWorldKey(char c) {
    if (c >= '0' && c <= '9') {
        const char16_t line[] = {u'#', static_cast<char16_t>(c), u'\0'};
        worldStartSecondCopy(line);
        return true;
    }
    switch (c) {
    case 'c':
        worldWriteCccr(worldOthersCccr());
        return true;
    case 'p':
        worldSetExternalPower(simHandheld.power.acLineStatus == 0);
        return true;
    case '+':
    case '-': {
        const int step = c == '+' ? BATTERY_STEP : -BATTERY_STEP;
        worldSetBatteryPercent(static_cast<std::uint8_t>(
            std::clamp(simHandheld.power.batteryLifePercent + step, 0, 100)));
        return true;
    }
    case 'l':
        worldCycleLoad();
        return true;
    case 'm':
        worldTakeOrGiveMemory();
        return true;
    case 's':
        worldStartProcess(STARTED_PROGRAM, 1);
        return true;
    case 'e':
        worldEndLastStarted();
        return true;
    case 'r':
        worldRotateOnward();
        return true;
    case 'f':
        speedChoice = (speedChoice + 1) % static_cast<int>(std::size(SPEEDS));
        return true;
    case 'q':
    case '\x03':
        leave();
        return true;
    default:
        return false;
    }
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
    switch (input.character) {
    case 't':
    case ' ':
    case '\r':
    case '\n':
        worldTapIcon();
        break;
    case 'o':
        worldPressDialogOk();
        break;
    default:
        actOnWorldKey(input.character);
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
        leave();
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
    Cells place; // where it is drawn
};

std::vector<MenuItemView> entriesOf(MenuHandle menu) {
    std::vector<MenuItemView> entries;
    MenuItemView item{};
    for (int position = 0; menuItemAt(menu, position, item); ++position) {
        entries.push_back(item);
    }
    return entries;
}

std::string plainText(const MenuItemView& item) {
    std::string text = utf8Of(item.text);
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
}

// The check mark's place, the text, the submenu arrow's place.
int menuWidth(const std::vector<MenuItemView>& entries) {
    int widest = 0;
    for (const MenuItemView& item : entries) {
        widest = std::max(widest, item.separator ? 0 : widthOf(plainText(item)));
    }
    return widest + 4;
}

std::string entryText(const MenuItemView& item, int width) {
    if (item.separator) {
        return repeated("─", width);
    }
    return (item.checked ? "✓ " : "  ") + fitted(plainText(item), width - 4) +
           (item.submenu != MenuHandle::None ? " ▶" : "  ");
}

void drawMenuLevel(const MenuLevel& level) {
    const std::vector<MenuItemView> entries = entriesOf(level.menu);
    const int visible = std::min(static_cast<int>(entries.size()), level.place.rows);
    const int first = std::max(0, level.selected - visible + 1);
    for (int i = 0; i < visible; ++i) {
        const MenuItemView& item = entries[static_cast<std::size_t>(first + i)];
        moveTo(level.place.column, level.place.row + i);
        const bool selected = first + i == level.selected;
        colours(item.greyed ? 0x909090 : (selected ? 0xFFFFFF : 0),
                selected ? TASKBAR_RGB : MENU_RGB);
        frame += entryText(item, level.place.columns);
    }
    plain();
}

void drawMenus(const std::vector<MenuLevel>& levels) {
    beginFrame();
    if (drawHandheld()) {
        for (const MenuLevel& level : levels) {
            drawMenuLevel(level);
        }
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

// The screen's cells, inside its frame.
Cells screenCells() {
    const Layout sizes = layout();
    return Cells{2, 2, sizes.screenColumns, sizes.screenRows};
}

// A menu of `columns` x `rows` cells kept on the screen: moved left and up as
// far as needed, and cut to the screen's height.
Cells keptOnScreen(int column, int row, int columns, int rows) {
    const Cells screen = screenCells();
    const int height = std::min(rows, screen.rows);
    return Cells{std::clamp(column, screen.column, screen.column + screen.columns - columns),
                 std::clamp(row, screen.row, screen.row + screen.rows - height), columns, height};
}

// The popup with its bottom-right corner where the program asked.
MenuLevel popupLevel(MenuHandle menu, int right, int bottom) {
    const std::vector<MenuItemView> entries = entriesOf(menu);
    const int columns = menuWidth(entries);
    const int rows = static_cast<int>(entries.size());
    return MenuLevel{menu, step(menu, -1, 1),
                     keptOnScreen(right - columns + 1, bottom - rows + 1, columns, rows)};
}

// A submenu beside the entry that opens it, as the system places one: on its
// right, else on its left when there is no room on the right; its top level
// with the entry, moved up when there is no room below.
MenuLevel submenuLevel(const MenuLevel& parent, MenuHandle menu) {
    const std::vector<MenuItemView> entries = entriesOf(menu);
    const int columns = menuWidth(entries);
    const int rows = static_cast<int>(entries.size());
    const Cells screen = screenCells();
    const int right = parent.place.column + parent.place.columns;
    const int column =
        right + columns <= screen.column + screen.columns ? right : parent.place.column - columns;
    const int first = std::max(0, parent.selected - parent.place.rows + 1);
    return MenuLevel{
        menu, step(menu, -1, 1),
        keptOnScreen(column, parent.place.row + parent.selected - first, columns, rows)};
}

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

bool leavingNow() {
    if (terminal.interrupted != 0) {
        terminal.interrupted = 0;
        leave();
    }
    return leaving;
}

std::uint32_t chooseInTerminal(MenuHandle menu, int x, int y) {
    const Layout sizes = layout();
    std::vector<MenuLevel> levels = {
        popupLevel(menu, 2 + x / sizes.pixelsPerColumn - 1, 2 + y / sizes.pixelsPerRow - 1)};
    for (;;) {
        if (leavingNow()) {
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
                levels.push_back(submenuLevel(level, item.submenu));
            } else if (input.key == Key::Enter && !item.greyed &&
                       item.submenu == MenuHandle::None) {
                return item.id;
            } else if (input.key == Key::Left || input.key == Key::Escape) {
                if (levels.size() == 1) {
                    return 0;
                }
                levels.pop_back();
            } else if (input.key == Key::Other && actOnWorldKey(input.character) && leaving) {
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
    const int byDefault = messageBoxDefault(style);
    const Layout sizes = layout();
    const int width = std::max(20, sizes.screenColumns - 4);
    std::vector<std::string> lines = wrapped(utf8Of(std::u16string(text)), width - 2);
    for (std::string& line : lines) {
        line = " " + line;
    }
    lines.push_back("");
    lines.push_back("   " + messageBoxButtons(style));
    lines.push_back(yesNo ? "   y, n; Enter, Esc: the default" : "   Enter, Esc: OK");
    for (;;) {
        if (leavingNow()) {
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
            if (input.key == Key::Enter || input.key == Key::Escape) {
                return byDefault;
            }
            if (input.key == Key::Other && actOnWorldKey(input.character) && leaving) {
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

#pragma once
// What the simulated handheld shows, as plain text: the device panel, the tray
// icon, the open information dialogs and a message box. The script mode prints
// these; the interactive mode draws the same panel and dialog texts.

#include "platform/handles.h"
#include "platform/sim/ico_image.h"
#include "platform/sim/sim_processor.h"

#include <cstdint>
#include <string>
#include <vector>

// The device panel: processor, clock registers and clocks, load, memory,
// battery and power line, screen, the program's process, the restarts, the
// help viewer's page and process; one line each.
std::vector<std::string> devicePanelLines(SimProcessorKind processor);

// The icon, two characters a pixel: blanks where it is transparent, else a
// character by brightness from '#' (dark) to '.' (light).
std::string iconAsText(const SimIconPixels& icon);

// A control where its template puts it, in dialog units.
struct ControlView {
    int x, y, width, height;
    std::string text;
    bool icon; // shows the application icon, not its text
};

struct DialogView {
    WindowHandle window;
    std::string caption;
    int width, height; // dialog units
    std::vector<ControlView> controls;
};

// The information dialogs open now, oldest first.
std::vector<DialogView> openDialogViews();

// A control placed in cells from the dialog's top-left corner.
struct PlacedControl {
    int column, row, columns, rows;
    const ControlView* control;
};

struct DialogLayout {
    int columns, rows;
    std::vector<PlacedControl> controls;
};

// The dialog in terminal cells, 4 x 8 dialog units a cell: each control where
// its template puts it, its text whole, an icon `iconColumns` x `iconRows`.
// The controls of one template column move right together, as far as needed
// to leave a blank after every control before them that they would meet; the
// dialog widens to hold them.
DialogLayout layOutDialog(const DialogView& dialog, int iconColumns, int iconRows);

// The caption, then the controls row by row as the template lays them out.
std::string dialogAsText(const DialogView& dialog);

// A message box's buttons in the handheld's language (its user-interface
// language: Russian gives "Да", "Нет", "ОК", any other "Yes", "No", "OK"), the
// default one (as the style names it) in double brackets: "[Да]  [[Нет]]".
std::string messageBoxButtons(std::uint32_t style);

// The answer of the box's default button, as its style names it.
int messageBoxDefault(std::uint32_t style);
std::string messageBoxAsText(const char16_t* text, const char16_t* caption, std::uint32_t style);

// The panel, the tray icon (or that there is none) and the open dialogs.
std::string screenAsText(SimProcessorKind processor);

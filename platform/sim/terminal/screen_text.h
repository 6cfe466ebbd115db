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
// battery and power line, screen, the help viewer's page; one line each.
std::vector<std::string> devicePanelLines(SimProcessorKind processor);

// The icon, two characters a pixel: blanks where it is transparent, else a
// character by brightness from '#' (dark) to '.' (light).
std::string iconAsText(const SimIconPixels& icon);

// A control where its template puts it, in dialog units.
struct ControlView {
    int x, y, width, height;
    std::string text;
};

struct DialogView {
    WindowHandle window;
    std::string caption;
    int width, height; // dialog units
    std::vector<ControlView> controls;
};

// The information dialogs open now, oldest first.
std::vector<DialogView> openDialogViews();

// The caption, then the controls row by row as the template lays them out.
std::string dialogAsText(const DialogView& dialog);
std::string messageBoxAsText(const char16_t* text, const char16_t* caption, std::uint32_t style);

// The panel, the tray icon (or that there is none) and the open dialogs.
std::string screenAsText(SimProcessorKind processor);

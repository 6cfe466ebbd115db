#pragma once
// The program's resource script, built into the simulated handheld so that it
// shows the same resources as the device.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern const char RESOURCE_SCRIPT_TEXT[];

// Copies string `id` of the script's STRINGTABLE into buffer as UTF-16, cut to
// fit with its terminator. An absent string gives an empty text. Returns the
// length written.
std::size_t copyScriptString(unsigned id, char16_t* buffer, std::size_t capacity);

// One entry of a MENU of the script: a command, a separator, or a submenu with
// entries of its own.
struct ScriptMenuEntry {
    enum class Kind { Command, Separator, Submenu };
    Kind kind;
    std::uint32_t id;
    std::u16string text;
    std::vector<ScriptMenuEntry> entries;
};

// How deep submenus may nest: a menu's own entries are at depth 1.
constexpr int SCRIPT_MENU_DEPTH_LIMIT = 16;

// The entries of MENU `id` of the script (its submenus, for a menu bar); false
// when the script has no such menu, it is cut short, a number in it does not
// fit in 32 bits or its submenus nest deeper than SCRIPT_MENU_DEPTH_LIMIT.
bool parseScriptMenu(unsigned id, std::vector<ScriptMenuEntry>& entries,
                     const char* script = RESOURCE_SCRIPT_TEXT);

// A control of a DIALOG of the script.
struct ScriptControl {
    int id;
    std::u16string className; // "STATIC"
    std::u16string text;      // a resource's number (an icon's) as "#" and the number
    std::uint32_t style;
    int x, y, width, height;
};

// A DIALOG of the script with what the program relies on.
struct ScriptDialog {
    int width, height;
    std::uint32_t style;
    std::uint32_t exStyle;
    std::u16string caption;
    std::u16string fontName;
    int fontSize;
    std::vector<ScriptControl> controls;
};

// DIALOG `id` of the script; false when there is none or it is malformed,
// which includes a number that is missing or does not fit in 32 bits (signed
// or not, as the resource compiler reads it).
bool parseScriptDialog(unsigned id, ScriptDialog& dialog,
                       const char* script = RESOURCE_SCRIPT_TEXT);

// Reads a dialog template as the resource compiler laid it out in this
// program's resources: a DLGTEMPLATE with its font, then one DLGITEMTEMPLATE
// per control, each starting on a 4-byte boundary.

#include "tests/platform/dialog_templates.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace {

constexpr std::uint32_t SETS_FONT = 0x40; // DS_SETFONT: a font follows the caption
constexpr std::uint16_t ORDINAL = 0xFFFF; // a number follows instead of a text
constexpr std::uint16_t STATIC_CLASS_ATOM = 0x0082;
constexpr std::uint32_t EXTENDED_TEMPLATE = 0xFFFF0001; // DLGTEMPLATEEX: version 1, signature

// Walks the template's bytes; any read past the end makes it fail.
struct TemplateBytes {
    const unsigned char* bytes;
    std::size_t size;
    std::size_t at;
    bool failed;

    template <typename Value> Value take() {
        Value value{};
        if (failed || at > size || size - at < sizeof value) {
            failed = true;
            return value;
        }
        std::memcpy(&value, bytes + at, sizeof value);
        at += sizeof value;
        return value;
    }

    std::u16string text() {
        std::u16string read;
        for (char16_t c = take<char16_t>(); c != u'\0' && !failed; c = take<char16_t>()) {
            read += c;
        }
        return read;
    }

    // A text, a number (given as "#" and the number) or nothing.
    std::u16string textOrNumber() {
        const std::uint16_t first = take<std::uint16_t>();
        if (first == ORDINAL) {
            return u"#" + numberText(take<std::uint16_t>());
        }
        if (failed) {
            return {};
        }
        at -= sizeof first;
        return text();
    }

    void alignTo(std::size_t boundary) { at = (at + boundary - 1) / boundary * boundary; }

    static std::u16string numberText(unsigned number) {
        const std::string digits = std::to_string(number);
        return std::u16string(digits.begin(), digits.end());
    }
};

TemplateControl readControl(TemplateBytes& bytes) {
    bytes.alignTo(4);
    TemplateControl control{};
    control.style = bytes.take<std::uint32_t>();
    bytes.take<std::uint32_t>(); // extended style
    control.x = bytes.take<std::int16_t>();
    control.y = bytes.take<std::int16_t>();
    control.width = bytes.take<std::int16_t>();
    control.height = bytes.take<std::int16_t>();
    control.id = bytes.take<std::int16_t>();
    control.className = bytes.textOrNumber();
    if (control.className == u"#" + TemplateBytes::numberText(STATIC_CLASS_ATOM)) {
        control.className = u"STATIC";
    }
    control.text = bytes.textOrNumber();
    const std::uint16_t creationData = bytes.take<std::uint16_t>();
    bytes.at += creationData;
    return control;
}

} // namespace

bool readDialogTemplate(unsigned id, DialogTemplate& read) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    if (loaded == nullptr) {
        return false;
    }
    TemplateBytes bytes{static_cast<const unsigned char*>(LockResource(loaded)),
                        SizeofResource(module, found), 0, false};
    read = DialogTemplate{};
    read.style = bytes.take<std::uint32_t>();
    if (read.style == EXTENDED_TEMPLATE) {
        return false; // laid out otherwise, which the script never asks for
    }
    read.exStyle = bytes.take<std::uint32_t>();
    const std::uint16_t controls = bytes.take<std::uint16_t>();
    bytes.take<std::int16_t>(); // x
    bytes.take<std::int16_t>(); // y
    read.width = bytes.take<std::int16_t>();
    read.height = bytes.take<std::int16_t>();
    bytes.textOrNumber(); // menu
    bytes.textOrNumber(); // window class
    read.caption = bytes.text();
    if ((read.style & SETS_FONT) != 0) {
        read.fontSize = bytes.take<std::uint16_t>();
        read.fontName = bytes.text();
    }
    for (int i = 0; i < controls && !bytes.failed; ++i) {
        read.controls.push_back(readControl(bytes));
    }
    return !bytes.failed;
}

#pragma once
// The five information dialogs' templates as the program relies on them, and
// how each platform reads a template of the program's resources.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A template's control as read: a text that names a numbered resource (the
// icon of an icon control) reads as "#" and the number, as Windows writes
// such a name.
struct TemplateControl {
    std::u16string text;
    int id;
    std::u16string className;
    std::uint32_t style;
    int x, y, width, height;
};

struct DialogTemplate {
    int width, height;
    std::uint32_t style;
    std::uint32_t exStyle;
    std::u16string caption;
    std::u16string fontName;
    int fontSize;
    std::vector<TemplateControl> controls;
};

// Template `id` of the program's resources; false when there is none or it
// cannot be read.
bool readDialogTemplate(unsigned id, DialogTemplate& read);

inline constexpr std::uint32_t DIALOG_STYLE = 0x80C00A40;    // pop-up, caption, centred, own font
inline constexpr std::uint32_t DIALOG_EX_STYLE = 0x80000000; // the caption's OK button
inline constexpr std::uint32_t TEXT_STYLE = 0x50020000;      // child, visible, group, left text
inline constexpr std::uint32_t ICON_STYLE = 0x50000003;      // child, visible, icon
inline constexpr int LABEL = -1;

struct ExpectedControl {
    const char16_t* text; // nullptr: the program's own choice
    int id;
    std::uint32_t style;
    int x, y, width, height;
};

struct ExpectedDialog {
    unsigned id;
    int width, height;
    const char16_t* caption;
    int fontSize; // Tahoma
    std::span<const ExpectedControl> controls;
};

inline constexpr ExpectedControl PROCESSOR_CONTROLS[] = {
    {u"Поставщик:", LABEL, TEXT_STYLE, 3, 2, 50, 9},    {u"", 1001, TEXT_STYLE, 53, 2, 37, 9},
    {u"  ядро:", LABEL, TEXT_STYLE, 3, 10, 50, 9},      {u"", 1002, TEXT_STYLE, 53, 10, 37, 9},
    {u"  серия:", LABEL, TEXT_STYLE, 3, 18, 50, 9},     {u"", 1003, TEXT_STYLE, 53, 18, 37, 9},
    {u"  ревизия:", LABEL, TEXT_STYLE, 3, 26, 50, 9},   {u"", 1004, TEXT_STYLE, 53, 26, 37, 9},
    {u"  загрузка:", LABEL, TEXT_STYLE, 3, 34, 50, 9},  {u"", 1005, TEXT_STYLE, 53, 34, 37, 9},
    {u"  частота:", LABEL, TEXT_STYLE, 3, 42, 50, 9},   {u"", 1006, TEXT_STYLE, 53, 42, 37, 9},
    {u"  память:", LABEL, TEXT_STYLE, 3, 50, 50, 9},    {u"", 1007, TEXT_STYLE, 53, 50, 37, 9},
    {u"Кеш кода:", LABEL, TEXT_STYLE, 3, 58, 50, 9},    {u"", 1008, TEXT_STYLE, 53, 58, 37, 9},
    {u"  строка:", LABEL, TEXT_STYLE, 3, 66, 50, 9},    {u"", 1009, TEXT_STYLE, 53, 66, 37, 9},
    {u"  вхождений:", LABEL, TEXT_STYLE, 3, 74, 50, 9}, {u"", 1010, TEXT_STYLE, 53, 74, 37, 9},
    {u"Кеш данных:", LABEL, TEXT_STYLE, 3, 82, 50, 9},  {u"", 1011, TEXT_STYLE, 53, 82, 37, 9},
    {u"  строка:", LABEL, TEXT_STYLE, 3, 90, 50, 9},    {u"", 1012, TEXT_STYLE, 53, 90, 37, 9},
    {u"  вхождений:", LABEL, TEXT_STYLE, 3, 98, 50, 9}, {u"", 1013, TEXT_STYLE, 53, 98, 37, 9},
};

inline constexpr ExpectedControl POWER_CONTROLS[] = {
    {u"", 1001, TEXT_STYLE, 3, 2, 80, 9},
    {u"Основная батарея:", LABEL, TEXT_STYLE, 3, 10, 85, 9},
    {u"  состояние:", LABEL, TEXT_STYLE, 3, 18, 52, 9},
    {u"", 1002, TEXT_STYLE, 55, 18, 35, 9},
    {u"  заряд:", LABEL, TEXT_STYLE, 3, 26, 52, 9},
    {u"", 1003, TEXT_STYLE, 55, 26, 35, 9},
    {u"  напряжение:", LABEL, TEXT_STYLE, 3, 34, 52, 9},
    {u"", 1004, TEXT_STYLE, 55, 34, 35, 9},
    {u"  сила тока:", LABEL, TEXT_STYLE, 3, 42, 52, 9},
    {u"", 1005, TEXT_STYLE, 55, 42, 35, 9},
    {u"  температура:", LABEL, TEXT_STYLE, 3, 50, 52, 9},
    {u"", 1006, TEXT_STYLE, 55, 50, 35, 9},
    {u"  хим.состав:", LABEL, TEXT_STYLE, 3, 58, 52, 9},
    {u"", 1007, TEXT_STYLE, 55, 58, 35, 9},
    {u"Резервная батарея:", LABEL, TEXT_STYLE, 3, 66, 85, 9},
    {u"  состояние:", LABEL, TEXT_STYLE, 3, 74, 52, 9},
    {u"", 1008, TEXT_STYLE, 55, 74, 35, 9},
    {u"  заряд:", LABEL, TEXT_STYLE, 3, 82, 52, 9},
    {u"", 1009, TEXT_STYLE, 55, 82, 35, 9},
    {u"  напряжение:", LABEL, TEXT_STYLE, 3, 90, 52, 9},
    {u"", 1010, TEXT_STYLE, 55, 90, 35, 9},
};

inline constexpr ExpectedControl SYSTEM_CONTROLS[] = {
    {u"Версия ОС:", LABEL, TEXT_STYLE, 3, 2, 50, 9},     {u"", 1001, TEXT_STYLE, 53, 2, 37, 9},
    {u"  сборка:", LABEL, TEXT_STYLE, 3, 10, 50, 9},     {u"", 1002, TEXT_STYLE, 53, 10, 37, 9},
    {u"  экран:", LABEL, TEXT_STYLE, 3, 18, 50, 9},      {u"", 1003, TEXT_STYLE, 53, 18, 37, 9},
    {u"  иконки:", LABEL, TEXT_STYLE, 3, 26, 50, 9},     {u"", 1004, TEXT_STYLE, 53, 26, 37, 9},
    {u"Процессор:", LABEL, TEXT_STYLE, 3, 34, 50, 9},    {u"", 1005, TEXT_STYLE, 53, 34, 37, 9},
    {u"  модель:", LABEL, TEXT_STYLE, 3, 42, 50, 9},     {u"", 1006, TEXT_STYLE, 53, 42, 37, 9},
    {u"  сборщик:", LABEL, TEXT_STYLE, 3, 50, 50, 9},    {u"", 1007, TEXT_STYLE, 53, 50, 37, 9},
    {u"  частота:", LABEL, TEXT_STYLE, 3, 58, 50, 9},    {u"", 1008, TEXT_STYLE, 53, 58, 37, 9},
    {u"Кодировка:", LABEL, TEXT_STYLE, 3, 66, 50, 9},    {u"", 1009, TEXT_STYLE, 53, 66, 37, 9},
    {u"  код ANSI:", LABEL, TEXT_STYLE, 3, 74, 50, 9},   {u"", 1010, TEXT_STYLE, 53, 74, 37, 9},
    {u"  код языка:", LABEL, TEXT_STYLE, 3, 82, 50, 9},  {u"", 1011, TEXT_STYLE, 53, 82, 37, 9},
    {u"  оригинал:", LABEL, TEXT_STYLE, 3, 90, 50, 9},   {u"", 1012, TEXT_STYLE, 53, 90, 37, 9},
    {u"Часовой пояс:", LABEL, TEXT_STYLE, 3, 98, 50, 9}, {u"", 1013, TEXT_STYLE, 53, 98, 37, 9},
};

inline constexpr ExpectedControl MEMORY_CONTROLS[] = {
    {u"Оперативная:", LABEL, TEXT_STYLE, 3, 2, 52, 9},  {u"", 1001, TEXT_STYLE, 55, 2, 35, 9},
    {u"  свободно:", LABEL, TEXT_STYLE, 3, 10, 52, 9},  {u"", 1002, TEXT_STYLE, 55, 10, 35, 9},
    {u"  загрузка:", LABEL, TEXT_STYLE, 3, 18, 52, 9},  {u"", 1003, TEXT_STYLE, 55, 18, 35, 9},
    {u"  процессов:", LABEL, TEXT_STYLE, 3, 26, 52, 9}, {u"", 1004, TEXT_STYLE, 55, 26, 35, 9},
    {u"  потоков:", LABEL, TEXT_STYLE, 3, 34, 52, 9},   {u"", 1005, TEXT_STYLE, 55, 34, 35, 9},
    {u"  драйверов:", LABEL, TEXT_STYLE, 3, 42, 52, 9}, {u"", 1006, TEXT_STYLE, 55, 42, 35, 9},
    {u"Файловая:", LABEL, TEXT_STYLE, 3, 50, 52, 9},    {u"", 1007, TEXT_STYLE, 55, 50, 35, 9},
    {u"  свободно:", LABEL, TEXT_STYLE, 3, 58, 52, 9},  {u"", 1008, TEXT_STYLE, 55, 58, 35, 9},
    {u"  программ:", LABEL, TEXT_STYLE, 3, 66, 52, 9},  {u"", 1009, TEXT_STYLE, 55, 66, 35, 9},
    {u"  автостарт:", LABEL, TEXT_STYLE, 3, 74, 52, 9}, {u"", 1010, TEXT_STYLE, 55, 74, 35, 9},
    {u"  шрифтов:", LABEL, TEXT_STYLE, 3, 82, 52, 9},   {u"", 1011, TEXT_STYLE, 55, 82, 35, 9},
    {u"Накопителей:", LABEL, TEXT_STYLE, 3, 90, 52, 9}, {u"", 1012, TEXT_STYLE, 55, 90, 35, 9},
};

inline constexpr ExpectedControl ABOUT_CONTROLS[] = {
    {u"#100", LABEL, ICON_STYLE, 6, 6, 32, 32}, // the application icon
    {u"Tavil v4.5", LABEL, TEXT_STYLE, 30, 4, 50, 10},
    {nullptr, LABEL, TEXT_STYLE, 30, 13, 50, 10}, // the maker line
    {nullptr, LABEL, TEXT_STYLE, 7, 26, 70, 10},  // the web address
};

inline constexpr ExpectedDialog INFO_DIALOG_TEMPLATES[] = {
    {100, 90, 108, u"Процессор", 8, PROCESSOR_CONTROLS},
    {101, 90, 100, u"Питание", 8, POWER_CONTROLS},
    {102, 90, 108, u"Система", 8, SYSTEM_CONTROLS},
    {103, 90, 100, u"Память", 8, MEMORY_CONTROLS},
    {104, 80, 40, u"О программе", 10, ABOUT_CONTROLS},
};

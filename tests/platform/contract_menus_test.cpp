// Menu 100 as each platform loads it from the resource script, walked entry by
// entry: the simulated handheld and Windows must show the same menu. And the
// changes by command id that the menu builder relies on.

#include "platform/live_objects.h"
#include "platform/menus.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string utf8(const char16_t* text) {
    std::string out;
    for (; *text != u'\0'; ++text) {
        const char32_t c = *text;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// One entry a line, submenus indented by two spaces.
std::string walk(MenuHandle menu, int depth = 0) {
    std::string out;
    for (int position = 0; position < menuItemCount(menu); ++position) {
        MenuItemView item{};
        EXPECT_TRUE(menuItemAt(menu, position, item));
        out.append(static_cast<std::size_t>(2 * depth), ' ');
        if (item.separator) {
            out += "---\n";
            continue;
        }
        out += '"';
        out += utf8(item.text);
        out += '"';
        if (item.submenu != MenuHandle::None) {
            out += " >\n";
            out += walk(item.submenu, depth + 1);
            continue;
        }
        out += ' ';
        out += std::to_string(item.id);
        out += item.greyed ? " greyed" : "";
        out += item.checked ? " checked" : "";
        out += '\n';
    }
    return out;
}

std::string frequencyList(const char* first, int firstId, int count) {
    static const char* const mhz[] = {" 52", "104", "208", "312", "416", "520", "624", "728",
                                      "832", "100", "200", "300", "400", "500", "600"};
    std::string out;
    int index = 0;
    while (std::string(mhz[index]) != first) {
        ++index;
    }
    for (int i = 0; i < count; ++i) {
        out += '"';
        out += mhz[index + i];
        out += " МГц\" ";
        out += std::to_string(firstId + i);
        out += '\n';
    }
    return out;
}

std::string indented(const std::string& lines, int spaces) {
    std::string out;
    std::size_t start = 0;
    while (start < lines.size()) {
        const std::size_t end = lines.find('\n', start);
        out += std::string(static_cast<std::size_t>(spaces), ' ') +
               lines.substr(start, end - start + 1);
        start = end + 1;
    }
    return out;
}

std::string expectedMenu() {
    return "\"Tavil\" >\n" + indented(frequencyList(" 52", 10000, 15), 2) +
           R"(  "Частоты" 10015
  ---
  "Разгон" >
    "Частота" >
      "Недоступно" 10024
    "Множитель" >
      "x1.0" 10017
      "x1.5" 10018
      "x2.0" 10019
      "x2.5" 10020
      "x3.0" 10021
      "x3.5" 10022
      "x4.0" 10023
    "Делитель" >
      "1 : 2" 10074
      "1 : 1" 10075
      "x1" 10076
      "x2" 10077
      "x4" 10078
    ---
    "Установки" >
      "Добавить" 10079
      "Очистить" 10080
    "Предел" >
      "Недоступно" 10056
)" + indented(frequencyList(" 52", 10057, 3), 6) +
           "      ---\n" + indented(frequencyList("416", 10060, 5), 6) +
           indented(frequencyList("400", 10065, 3), 6) + R"(  "Сведения" >
    "Процессы" >
      "Новый" 10114
    ---
    "Процессор" 10068
    "Питание" 10069
    "Память" 10070
    "Система" 10071
    ---
    "Помощь" 10072
    "Справка" 10073
  "Настройки" >
    "Экран" >
      "QVGA" 10081
      "VGA" 10082
      "PureVGA" 10083
    "Поворот" >
      "0°" 10084
      "90°" 10085
      "180°" 10086
      "270°" 10087
    "Значок" >
      "Обычный" 10088
      "Частота" 10089
      "Загрузка" 10090
      "Батарея" 10092
      "Т о к" 10093
      "Память" 10091
    "Палитра" >
      "Цвет" >
        "черный" 10094
        "красный" 10095
        "желтый" 10097
        "зеленый" 10096
        "голубой" 10100
        "синий" 10098
        "фиолет" 10099
        "белый" 10101
      "Фон" >
        "черный" 10102
        "красный" 10103
        "желтый" 10105
        "зеленый" 10104
        "голубой" 10108
        "синий" 10106
        "фиолет" 10107
        "белый" 10109
    ---
    "Сброс" >
      "Перезагрузка" 10111
      "Полный сброс" 10112
    "Автостарт" 10110
  ---
  "Выход" 10113
)";
}

TEST(MenusContract, MenuHundredIsTheResourceScriptsMenu) {
    const int loadedBefore = livePlatformObjects().menus;
    const MenuHandle menu = loadMenuResource(ModuleHandle::None, 100);
    ASSERT_NE(menu, MenuHandle::None);
    EXPECT_EQ(livePlatformObjects().menus, loadedBefore + 1);
    EXPECT_EQ(walk(menu), expectedMenu());
    destroyMenu(menu);
    EXPECT_EQ(livePlatformObjects().menus, loadedBefore);
}

TEST(MenusContract, ChangesByCommandReachNestedSubmenus) {
    const MenuHandle menu = loadMenuResource(ModuleHandle::None, 100);
    const MenuHandle popup = subMenu(menu, 0);
    ASSERT_NE(popup, MenuHandle::None);
    greyMenuItem(popup, 10109); // "Настройки" > "Палитра" > "Фон" > "белый"
    checkMenuItem(popup, 10088); // "Настройки" > "Значок" > "Обычный"
    deleteMenuItem(popup, 10114);
    insertMenuItemBefore(popup, 10024, 10026, u"26 МГц");
    insertMenuItemBefore(popup, 10015, 10016, u"520 МГц");
    deleteMenuItem(popup, 12345); // not in the menu: no effect
    greyMenuItem(popup, 12345);
    const std::string text = walk(popup);
    EXPECT_NE(text.find("      \"белый\" 10109 greyed\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    \"Обычный\" 10088 checked\n"), std::string::npos);
    EXPECT_NE(text.find("  \"Процессы\" >\n  ---\n"), std::string::npos);
    EXPECT_NE(text.find("    \"26 МГц\" 10026\n    \"Недоступно\" 10024\n"), std::string::npos);
    EXPECT_NE(text.find("\"520 МГц\" 10016\n\"Частоты\" 10015\n"), std::string::npos);
    destroyMenu(menu);
}

} // namespace

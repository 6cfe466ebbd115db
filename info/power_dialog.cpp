// The Power dialog: the power source and both batteries, rewritten from a fresh
// query at every tick.

#include "core/app_state.h"
#include "info/dialog_fields.h"
#include "info/info_dialogs.h"
#include "platform/system_status.h"

namespace {

enum PowerField {
    SOURCE = 1001,
    MAIN_STATE = 1002,
    MAIN_CHARGE = 1003,
    MAIN_VOLTAGE = 1004,
    MAIN_CURRENT = 1005,
    MAIN_TEMPERATURE = 1006,
    MAIN_CHEMISTRY = 1007,
    BACKUP_STATE = 1008,
    BACKUP_CHARGE = 1009,
    BACKUP_VOLTAGE = 1010,
};

constexpr CodeText SOURCES[] = {
    {0, u"Источник - батарея"}, {1, u"Источник - от сети"}, {2, u"Резервное питание!"}};

// Battery flags compared as whole values: a combination shows nothing.
constexpr std::uint8_t NO_BATTERY = 128;
constexpr CodeText BATTERY_STATES[] = {
    {1, u"в норме"}, {2, u"слабо"}, {4, u"разряд"}, {8, u"зарядка"}, {NO_BATTERY, u"нет"}};

constexpr CodeText CHEMISTRIES[] = {{1, u"щелочь"}, {2, u"Ni-Cd"},  {3, u"NiMH"},
                                    {4, u"Li-Ion"}, {5, u"Li-Pol"}, {6, u"цинк"}};

constexpr std::uint8_t HIGHEST_PERCENT = 100;

void showPercent(WindowHandle dialog, int field, std::uint8_t percent) {
    if (percent <= HIGHEST_PERCENT) {
        setFormattedField(dialog, field, u"%d %%", {percent});
    } else {
        setField(dialog, field, u""); // not reported
    }
}

// Millivolts as volts, computed in single precision as the device does.
void showVoltage(WindowHandle dialog, int field, std::uint32_t millivolts) {
    const float volts = static_cast<float>(millivolts) * 0.001f;
    setFormattedField(dialog, field, u"%.2f В", {static_cast<double>(volts)});
}

void showMainBattery(WindowHandle dialog, const PowerStatus& power) {
    showPercent(dialog, MAIN_CHARGE, power.batteryLifePercent);
    showVoltage(dialog, MAIN_VOLTAGE, power.batteryVoltage);
    setFormattedField(dialog, MAIN_CURRENT, u"%d мА", {power.batteryCurrent});
    // Tenths of a degree, read as a signed number: below zero stays below zero.
    const float degrees =
        static_cast<float>(static_cast<std::int32_t>(power.batteryTemperature)) * 0.1f;
    setFormattedField(dialog, MAIN_TEMPERATURE, u"%.1f° C", {static_cast<double>(degrees)});
    setField(dialog, MAIN_CHEMISTRY, textOfCode(CHEMISTRIES, power.batteryChemistry));
}

} // namespace

void refreshPowerDialog() {
    const WindowHandle dialog = appState.powerDialog;
    const PowerStatus power = queryPowerStatus(true);
    setField(dialog, SOURCE, textOfCode(SOURCES, power.acLineStatus));
    setField(dialog, MAIN_STATE, textOfCode(BATTERY_STATES, power.batteryFlag));
    if (power.batteryFlag != NO_BATTERY) {
        showMainBattery(dialog, power);
    } else {
        for (int field = MAIN_CHARGE; field <= MAIN_CHEMISTRY; ++field) {
            setField(dialog, field, u"");
        }
    }
    setField(dialog, BACKUP_STATE, textOfCode(BATTERY_STATES, power.backupBatteryFlag));
    if (power.backupBatteryFlag != NO_BATTERY) {
        showPercent(dialog, BACKUP_CHARGE, power.backupBatteryLifePercent);
        showVoltage(dialog, BACKUP_VOLTAGE, power.backupBatteryVoltage);
    } else {
        setField(dialog, BACKUP_CHARGE, u"");
        setField(dialog, BACKUP_VOLTAGE, u"");
    }
}

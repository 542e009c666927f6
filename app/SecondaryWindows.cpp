#include "app/SecondaryWindows.h"

#include "alarms/ui/WindowAlarms.h"

SecondaryWindows applicationSecondaryWindows() {
    SecondaryWindows windows;
    windows.alarms = [](Monitor& monitor, QWidget* parent) -> std::unique_ptr<QDialog> {
        return std::make_unique<WindowAlarms>(monitor, parent);
    };
    // windows.preferences: WindowPreferences (datalog/ui) plugs in here.
    // windows.hpuEeprom: WindowHPU (eeprom/ui) plugs in here.
    return windows;
}

#include "app/SecondaryWindows.h"

#include "alarms/ui/WindowAlarms.h"
#include "eeprom/ui/MakeWindowHPU.h"

SecondaryWindows applicationSecondaryWindows() {
    SecondaryWindows windows;
    windows.alarms = [](Monitor& monitor, QWidget* parent) -> std::unique_ptr<QDialog> {
        return std::make_unique<WindowAlarms>(monitor, parent);
    };
    // windows.preferences: WindowPreferences (datalog/ui) plugs in here.
    windows.hpuEeprom = makeWindowHPU;
    return windows;
}

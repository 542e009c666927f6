#include "app/SecondaryWindows.h"

#include "alarms/ui/WindowAlarms.h"
#include "datalog/ui/WindowPreferences.h"
#include "app/MakeWindowHPU.h"
#include "monitor/Monitor.h" // the store of both settings windows

SecondaryWindows applicationSecondaryWindows() {
    SecondaryWindows windows;
    windows.alarms = [](Monitor& monitor, QWidget* parent) -> std::unique_ptr<QDialog> {
        return std::make_unique<WindowAlarms>(monitor, parent);
    };
    windows.preferences = [](Monitor& monitor, QWidget* parent) -> std::unique_ptr<QDialog> {
        return std::make_unique<WindowPreferences>(monitor, parent);
    };
    windows.hpuEeprom = makeWindowHPU;
    return windows;
}

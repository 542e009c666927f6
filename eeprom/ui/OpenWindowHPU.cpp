#include "eeprom/ui/OpenWindowHPU.h"

#include "eeprom/MonitorEepromLink.h"
#include "eeprom/ui/MessageBoxEepromPrompts.h"
#include "eeprom/ui/WindowHPU.h"

void openWindowHPU(Monitor& monitor, QWidget* parent) {
    MonitorEepromLink link(monitor);
    MessageBoxEepromPrompts prompts;
    WindowHPU window(link, monitor.platform().timers, prompts, parent);
    prompts.setParent(&window);
    window.exec();
}

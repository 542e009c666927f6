#include "eeprom/ui/MakeWindowHPU.h"

#include "monitor/MonitorEepromLink.h"
#include "eeprom/ui/MessageBoxEepromPrompts.h"
#include "eeprom/ui/WindowHPU.h"

std::unique_ptr<QDialog> makeWindowHPU(Monitor& monitor, QWidget* parent) {
    auto link = std::make_unique<MonitorEepromLink>(monitor);
    auto prompts = std::make_unique<MessageBoxEepromPrompts>();
    auto window = std::make_unique<WindowHPU>(*link, monitor.platform().timers, *prompts, parent);
    prompts->setParent(window.get());
    window->adopt(std::move(link), std::move(prompts));
    return window;
}

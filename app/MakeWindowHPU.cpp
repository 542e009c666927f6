#include "app/MakeWindowHPU.h"

#include "datalog/LogFolderSetting.h"
#include "eeprom/ui/MessageBoxEepromPrompts.h"
#include "eeprom/ui/WindowHPU.h"
#include "monitor/MonitorEepromLink.h"

std::unique_ptr<QDialog> makeWindowHPU(Monitor& monitor, QWidget* parent) {
    auto link = std::make_unique<MonitorEepromLink>(monitor);
    auto prompts = std::make_unique<MessageBoxEepromPrompts>();
    const Platform& platform = monitor.platform();
    auto window = std::make_unique<WindowHPU>(*link, platform.timers, *prompts, parent);
    prompts->setParent(window.get());
    // Backups go to the log folder, where the technician already finds the turbine's logs.
    QString folder = monitor.state().LogFolder;
    LogFolderSetting(platform.resources, platform.userFolders).readLogPathFile(folder);
    window->setBackups(platform.wallClock, folder);
    window->adopt(std::move(link), std::move(prompts));
    return window;
}

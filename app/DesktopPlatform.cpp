#include "app/DesktopPlatform.h"

DesktopPlatform::DesktopPlatform(const QStringList& extraPorts)
    : devices_(std::make_unique<QtSerialDeviceList>(extraPorts)) {}

Platform DesktopPlatform::platform() {
    return Platform{clock_,    wallClock_, timers_,    port_,       *devices_,
                    notifier_, sound_,     resources_, userFolders_};
}

#pragma once

#include "app/AlarmSoundPlayer.h"
#include "app/ApplicationResourceFolder.h"
#include "app/LinkOpener.h"
#include "app/MessageBoxNotifier.h"
#include "monitor/Monitor.h"
#include "link/QtSerialPort.h"

#include <memory>

// The real platform behind the Monitor's interfaces: system clocks, Qt timers, the serial
// port and device list, message boxes, the alarm sound, the resource and user folders,
// and the browser for the driver link.
class DesktopPlatform {
public:
    // extraPorts: device paths listed after the system's own devices.
    explicit DesktopPlatform(const QStringList& extraPorts = {});

    Platform platform();
    MessageBoxNotifier& notifier() { return notifier_; }
    LinkOpener& browser() { return browser_; }

private:
    SystemProgramClock clock_;
    SystemWallClock wallClock_;
    QtTimerFactory timers_;
    QtSerialPort port_;
    std::unique_ptr<SerialDeviceList> devices_;
    MessageBoxNotifier notifier_;
    ApplicationResourceFolder resources_;
    AlarmSoundPlayer sound_{resources_};
    SystemUserFolders userFolders_;
    DesktopLinkOpener browser_;
};

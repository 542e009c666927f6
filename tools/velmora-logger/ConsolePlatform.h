#pragma once

#include "core/Platform.h"
#include "link/QtSerialPort.h"

// What the user is told, on a console: each message once per line on stderr, which the
// service manager's journal keeps. The system beep has no one to reach.
class ConsoleNotifier : public Notifier {
public:
    void showMessage(const QString& text) override;
    void beep() override {}
};

// The logger makes no sound: nobody is there to hear it.
class SilentSound : public SoundPlayer {
public:
    void play(int) override {}
};

// The real platform of the unattended logger: system clocks, Qt timers, the serial port and
// device list, messages to stderr. It has no resource folder: the alarm thresholds come from
// a settings file named on the command line, and the log folder from --log-folder.
class ConsolePlatform {
public:
    explicit ConsolePlatform(const QStringList& extraPorts);
    Platform platform();
    ConsoleNotifier& notifier() { return notifier_; }
    const SerialDeviceList& devices() const { return devices_; }

private:
    SystemProgramClock clock_;
    SystemWallClock wallClock_;
    QtTimerFactory timers_;
    QtSerialPort port_;
    QtSerialDeviceList devices_;
    ConsoleNotifier notifier_;
    SilentSound sound_;
    FixedResourceFolder resources_{QString()};
    SystemUserFolders userFolders_;
};

// "velmora-logger: <text>" on stderr, at once.
void tellConsole(const QString& text);

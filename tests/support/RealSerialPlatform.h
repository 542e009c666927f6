#pragma once

#include "NoBrowser.h"
#include "Recorders.h"
#include "core/Notifier.h"
#include "core/Platform.h"
#include "core/ProgramClock.h"
#include "core/Timer.h"
#include "link/QtSerialPort.h"

// The desktop's own parts where a window meets the bus (the serial port and device list, the
// clocks and timers), with the dialogs and the sound recorded and a test folder for the
// resources and the user's folders: a window on a pseudo-terminal, with nothing shown or played.
struct RealSerialPlatform {
    RealSerialPlatform(const QString& devicePath, const QString& folder)
        : devices({devicePath})
        , resources(folder)
        , folders(folder, folder) {}

    Platform platform() {
        return Platform{clock, wallClock, timers, port, devices, notifier, sound, resources, folders};
    }

    SystemProgramClock clock;
    SystemWallClock wallClock;
    QtTimerFactory timers;
    QtSerialPort port;
    QtSerialDeviceList devices;
    RecordingNotifier notifier;
    RecordingSound sound;
    FixedResourceFolder resources;
    FixedUserFolders folders;
    NoBrowser browser;
};

#pragma once

#include "core/Notifier.h"
#include "core/ProgramClock.h"
#include "core/SerialPort.h"
#include "core/Timer.h"
#include "core/UserFolders.h"

// Everything the platform provides, reached through small interfaces so that tests drive
// the monitor deterministically: the window passes real implementations, tests doubles.
struct Platform {
    ProgramClock& clock;
    WallClock& wallClock;
    TimerFactory& timers;
    SerialPort& port;               // SerialConnection1
    SerialDeviceList& devices;
    Notifier& notifier;             // message boxes and the system beep
    SoundPlayer& sound;             // "alarm_hydro.wav"
    const ResourceFolder& resources; // "Alarms_Settings.txt", "Log_Folder.txt"
    const UserFolders& userFolders;  // default log folder
};

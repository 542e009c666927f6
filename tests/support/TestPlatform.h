#pragma once

#include "FakeSerialPort.h"
#include "ManualTimeline.h"
#include "Recorders.h"
#include "monitor/Monitor.h"

#include <QTemporaryDir>

// A whole platform of doubles, with a temporary resource folder and Documents folder.
struct TestPlatform {
    ManualTimeline timeline;
    FakeSerialPort port;
    FakeDeviceList devices;
    RecordingNotifier notifier;
    RecordingSound sound;
    QTemporaryDir dir;
    FixedResourceFolder resources{dir.path() + QStringLiteral("/resources")};
    FixedUserFolders userFolders{dir.path() + QStringLiteral("/Documents"), dir.path() + QStringLiteral("/home")};

    TestPlatform();
    Platform platform() {
        return Platform{timeline, timeline, timeline, port, devices, notifier, sound, resources, userFolders};
    }
};

#pragma once

#include "FakeSerialPort.h"
#include "ManualTimeline.h"
#include "Recorders.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorEepromLink.h"
#include "sim/SimulatedSerialPort.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// The main window's monitor connected to the simulated installation (converter and HPU on
// one line, paced as at 9600 bit/s), with time in the test's hands. What the tool sent is
// what the simulated HPU heard.
struct SimulatedLine {
    ManualTimeline timeline;
    SimulatedSerialPort port{timeline, timeline};
    FakeDeviceList devices;
    RecordingNotifier notifier;
    RecordingSound sound;
    QTemporaryDir dir;
    FixedResourceFolder resources{dir.path() + QStringLiteral("/resources")};
    FixedUserFolders userFolders{dir.path() + QStringLiteral("/Documents"),
                                 dir.path() + QStringLiteral("/home")};
    Monitor monitor{
        Platform{timeline, timeline, timeline, port, devices, notifier, sound, resources, userFolders}};
    MonitorEepromLink link{monitor};

    SimulatedLine() {
        QDir(dir.path()).mkpath(QStringLiteral("resources"));
        QDir(dir.path()).mkpath(QStringLiteral("Documents"));
        devices.setNames({QStringLiteral("ttyUSB0")});
        timeline.advance(500); // the device list picks up the adapter
        monitor.ConnectButton_Action();
    }

    Sim::SimulatedEeprom& eeprom() { return port.installation().hpu().eeprom(); }

    // Advances time in 10 ms steps until done() holds, at most maxMs. Whether it held.
    bool runUntil(const std::function<bool()>& done, int maxMs) {
        for (int t = 0; t < maxMs && !done(); t += 10)
            timeline.advance(10);
        return done();
    }

    // The addresses of the EEPROM write requests the HPU heard, in order.
    QList<int> writtenAddresses() {
        QList<int> addresses;
        for (const Sim::ReceivedCommand& command : port.installation().commands())
            if (command.name() == QLatin1String("EEPROM write") && command.bytes.size() > 4)
                addresses.append(quint8(command.bytes[4]));
        return addresses;
    }
    // The same with repetitions of one request run together: the order of the writes.
    QList<int> writeOrder() {
        QList<int> order;
        for (int address : writtenAddresses())
            if (order.isEmpty() || order.last() != address)
                order.append(address);
        return order;
    }
    int commandCount() { return int(port.installation().commands().size()); }
};

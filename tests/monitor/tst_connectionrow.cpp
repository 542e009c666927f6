// The main window's top row as the monitor shows it from the connection's state: the device
// list frozen while connected, the Connect/Disconnect toggle, the Log box and the HPU menu; and
// the same connection made without the window, by device name, as the unattended logger does.
#include "TestPlatform.h"
#include "monitor/Monitor.h"

#include <QTest>

namespace {

const QString kOpenFailed = QStringLiteral("The serial connection could not be opened.");

struct Bench {
    TestPlatform doubles;
    Monitor monitor{doubles.platform()};
    QStringList events; // "kind: detail"

    Bench() {
        monitor.setLogChecked(false);
        QObject::connect(&monitor, &Monitor::eventOccurred, [this](const MonitorEvent& e) {
            events.append(MonitorEvent::name(e.kind) + QStringLiteral(": ") + e.detail);
        });
    }
    void plug(const QStringList& names) {
        doubles.devices.setNames(names);
        doubles.timeline.advance(500);
    }
    const ControlsState& controls() const { return monitor.controls(); }
};

// The controls the connection drives, in one line for comparisons.
QString describe(const Bench& b) {
    const ControlsState& c = b.controls();
    return QStringLiteral("rows=%1 selected=%2 list=%3 button=%4/%5 log=%6/%7 hpu=%8 updater=%9")
        .arg(c.SerialPortsPopupMenu_rows.join(QLatin1Char(',')))
        .arg(c.SerialPortsPopupMenu_selected)
        .arg(c.SerialPortsPopupMenu_enabled)
        .arg(c.ConnectButton.caption)
        .arg(c.ConnectButton.enabled)
        .arg(c.CheckBoxLog_enabled)
        .arg(c.CheckBoxLog_checked)
        .arg(c.HPUMenu_enabled)
        .arg(const_cast<Monitor&>(b.monitor).PortListUpdater().mode());
}

void checkConnected(Bench& b) {
    QCOMPARE(b.controls().ConnectButton.caption, QStringLiteral("Disconnect"));
    QVERIFY(!b.controls().SerialPortsPopupMenu_enabled);
    QVERIFY(b.controls().CheckBoxLog_enabled);
    QCOMPARE(b.monitor.PortListUpdater().mode(), Timer::Off);
    QVERIFY(b.controls().HPUMenu_enabled);
    QCOMPARE(b.monitor.connectionState(), Connection::State::Connected);
    QVERIFY(b.doubles.port.isOpen());
}

void checkDisconnectedAfterLink(Bench& b) {
    QCOMPARE(b.controls().ConnectButton.caption, QStringLiteral("Connect"));
    QVERIFY(b.controls().SerialPortsPopupMenu_enabled);
    QVERIFY(!b.controls().CheckBoxLog_enabled);
    QCOMPARE(b.monitor.PortListUpdater().mode(), Timer::Repeating);
    QVERIFY(!b.controls().HPUMenu_enabled);
    QCOMPARE(b.monitor.connectionState(), Connection::State::Disconnected);
    QVERIFY(!b.doubles.port.isOpen());
}

} // namespace

class TestConnectionRow : public QObject {
    Q_OBJECT
private slots:
    void connectOpensTheSelectedDeviceAndFreezesTheList() {
        Bench b;
        b.plug({QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")});
        b.monitor.SerialPortsPopupMenu_SelectionChanged(0);
        QVERIFY(b.controls().ConnectButton.enabled);
        b.monitor.ConnectButton_Action();
        checkConnected(b);
        QCOMPARE(b.doubles.port.openedDevice.location, QStringLiteral("/dev/ttyS0"));
        QVERIFY(b.doubles.notifier.messages.isEmpty());

        // Devices come and go while connected: the list does not move.
        b.plug({QStringLiteral("ttyS0")});
        b.doubles.timeline.advance(2000);
        QCOMPARE(b.controls().SerialPortsPopupMenu_rows, (QStringList{"ttyS0", "ttyUSB0"}));

        b.monitor.ConnectButton_Action();
        checkDisconnectedAfterLink(b);
        QVERIFY(b.controls().ConnectButton.enabled); // a row is still selected
        b.doubles.timeline.advance(500);             // the refresh resumes and sees the change
        QCOMPARE(b.controls().SerialPortsPopupMenu_rows, QStringList{QStringLiteral("ttyS0")});
        QCOMPARE(b.events, (QStringList{"connected: ttyS0", "disconnected: ttyS0"}));
    }

    void failedOpeningLeavesTheRowDisconnected() {
        Bench b;
        b.plug({QStringLiteral("ttyUSB0")});
        b.doubles.port.failOpen = true;
        const QString before = describe(b);
        b.monitor.ConnectButton_Action();
        QCOMPARE(b.doubles.notifier.messages, QStringList{kOpenFailed});
        QCOMPARE(describe(b), before);
        QCOMPARE(b.controls().ConnectButton.caption, QStringLiteral("Connect"));
        QVERIFY(b.controls().SerialPortsPopupMenu_enabled);
        QVERIFY(!b.controls().CheckBoxLog_enabled);
        b.plug({QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")}); // still refreshing
        QCOMPARE(b.controls().SerialPortsPopupMenu_selected, 1);
        QCOMPARE(b.doubles.notifier.messages.size(), 1);
        QVERIFY(b.events.isEmpty());
    }

    void disconnectLeavesTheLogTick() {
        Bench b;
        b.plug({QStringLiteral("ttyUSB0")});
        b.monitor.setLogChecked(true);
        b.monitor.ConnectButton_Action();
        QVERIFY(b.controls().CheckBoxLog_enabled);
        b.monitor.ConnectButton_Action();
        QVERIFY(!b.controls().CheckBoxLog_enabled);
        QVERIFY(b.controls().CheckBoxLog_checked);
    }

    void hpuMenuUsableAgainAfterReconnecting() {
        Bench b;
        b.plug({QStringLiteral("ttyUSB0")});
        QVERIFY(b.controls().HPUMenu_enabled); // usable at start
        b.doubles.port.failOpen = true;
        b.monitor.ConnectButton_Action();
        QVERIFY(b.controls().HPUMenu_enabled); // a refused opening changes nothing
        b.doubles.port.failOpen = false;
        b.monitor.ConnectButton_Action();
        b.monitor.ConnectButton_Action();
        QVERIFY(!b.controls().HPUMenu_enabled);
        b.monitor.ConnectButton_Action();
        checkConnected(b);
        QCOMPARE(b.doubles.port.openCount, 3); // the refused attempt, then two openings
    }

    // One adapter swapped for another while disconnected: the list names the new one at the
    // next refresh and Connect opens it.
    void swappedAdapterIsListedAndOpened() {
        Bench b;
        b.plug({QStringLiteral("ttyUSB0")});
        b.plug({QStringLiteral("ttyACM0")});
        QCOMPARE(b.controls().SerialPortsPopupMenu_rows, QStringList{QStringLiteral("ttyACM0")});
        QCOMPARE(b.controls().SerialPortsPopupMenu_selected, 0);
        b.monitor.ConnectButton_Action();
        QVERIFY(b.doubles.notifier.messages.isEmpty());
        QCOMPARE(b.doubles.port.openedDevice.location, QStringLiteral("/dev/ttyACM0"));
    }

    // A press whose selected row names no device present any more (unplugged after the last
    // refresh) is reported as a failed opening and changes nothing else.
    void pressOnAStaleRow_data() {
        QTest::addColumn<int>("selectedRow");
        QTest::addColumn<QStringList>("nowPresent");
        QTest::newRow("selected last device unplugged") << 1 << QStringList{"ttyUSB0"};
        QTest::newRow("selected device unplugged, another takes its index") << 0 << QStringList{"ttyUSB1"};
        QTest::newRow("every device unplugged") << 0 << QStringList{};
        QTest::newRow("no row selected") << -1 << QStringList{"ttyUSB0", "ttyUSB1"};
    }
    void pressOnAStaleRow() {
        QFETCH(int, selectedRow);
        QFETCH(QStringList, nowPresent);
        Bench b;
        b.plug({QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")});
        b.monitor.SerialPortsPopupMenu_SelectionChanged(selectedRow);
        b.doubles.devices.setNames(nowPresent); // before the next refresh
        const QString before = describe(b);
        b.monitor.ConnectButton_Action();
        QCOMPARE(b.doubles.notifier.messages, QStringList{kOpenFailed});
        QCOMPARE(describe(b), before);
        QCOMPARE(b.doubles.port.openCount, 0);
        QVERIFY(!b.doubles.port.isOpen());
    }

    // The logger's way in: the devices by name, one of them opened and shown selected, and
    // nothing told to a user who is not there when it cannot be.
    void connectToByName() {
        Bench b;
        b.doubles.devices.setNames({QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")});
        QCOMPARE(b.monitor.devices(), (QStringList{"ttyS0", "ttyUSB0", "ttyUSB1"}));
        QVERIFY(!b.monitor.connectTo(QStringLiteral("ttyACM0"))); // not there
        b.doubles.port.failOpen = true;
        QVERIFY(!b.monitor.connectTo(QStringLiteral("ttyUSB0"))); // held by another program
        QVERIFY(b.doubles.notifier.messages.isEmpty());
        QCOMPARE(b.monitor.connectionState(), Connection::State::Disconnected);
        QVERIFY(b.events.isEmpty());

        b.doubles.port.failOpen = false;
        QVERIFY(b.monitor.connectTo(QStringLiteral("ttyUSB0")));
        const int opened = b.doubles.port.openCount;
        checkConnected(b);
        QCOMPARE(b.controls().SerialPortsPopupMenu_rows, (QStringList{"ttyS0", "ttyUSB0", "ttyUSB1"}));
        QCOMPARE(b.controls().SerialPortsPopupMenu_selected, 1);
        QCOMPARE(b.doubles.port.openedDevice.name, QStringLiteral("ttyUSB0"));
        QVERIFY(b.monitor.connectTo(QStringLiteral("ttyUSB0")));  // already
        QVERIFY(!b.monitor.connectTo(QStringLiteral("ttyUSB1"))); // not while connected to another
        QCOMPARE(b.doubles.port.openCount, opened);

        b.monitor.disconnect();
        checkDisconnectedAfterLink(b);
        QCOMPARE(b.events, (QStringList{"connected: ttyUSB0", "disconnected: ttyUSB0"}));
    }

    // Lost and reconnecting still counts as connected: the row stays as it was, the log ticks,
    // and Disconnect ends the attempts.
    void lostLinkKeepsTheRowConnected() {
        Bench b;
        b.plug({QStringLiteral("ttyUSB0")});
        b.monitor.ConnectButton_Action();
        const QString connected = describe(b);
        b.doubles.port.raiseError(QStringLiteral("Input/output error"));
        QCOMPARE(b.monitor.connectionState(), Connection::State::Reconnecting);
        QVERIFY(b.monitor.isConnected());
        QVERIFY(!b.monitor.isLineUp());
        QCOMPARE(describe(b), connected);
        b.doubles.devices.setNames({});
        b.doubles.timeline.advance(3000);
        QCOMPARE(b.monitor.connectionState(), Connection::State::Reconnecting);
        b.monitor.ConnectButton_Action(); // Disconnect
        checkDisconnectedAfterLink(b);
        QCOMPARE(b.monitor.TimerReconnect().mode(), Timer::Off);
        QCOMPARE(b.events, (QStringList{"connected: ttyUSB0", "connection lost: Input/output error",
                                        "disconnected: ttyUSB0"}));
    }

    // The error count is emptied every 5 s, so only a burst within one window gives up.
    void resetTickEveryFiveSeconds() {
        Bench b;
        b.plug({QStringLiteral("ttyUSB0")}); // at 500 ms
        b.monitor.ConnectButton_Action();
        b.doubles.timeline.advance(4000); // 4500 ms
        for (int i = 0; i < 3; ++i) {
            if (!b.doubles.port.isOpen())
                b.doubles.port.open(b.doubles.port.openedDevice);
            b.doubles.port.raiseError();
        }
        QCOMPARE(b.monitor.state().serial_count_errors, qint64(3));
        b.doubles.timeline.advance(499);
        QCOMPARE(b.monitor.state().serial_count_errors, qint64(3));
        b.doubles.timeline.advance(1); // 5000 ms
        QCOMPARE(b.monitor.state().serial_count_errors, qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestConnectionRow)
#include "tst_connectionrow.moc"

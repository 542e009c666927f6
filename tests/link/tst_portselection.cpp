#include "FakeSerialPort.h"
#include "ManualTimeline.h"
#include "Recorders.h"
#include "link/PortSelection.h"

#include <QTest>

namespace {

// The connection row of the main window with its 500 ms list refresh.
struct ConnectionRow {
    ManualTimeline timeline;
    FakeDeviceList devices;
    FakeSerialPort port;
    RecordingNotifier notifier;
    ControlsState controls;
    QObject owner;
    Timer* portListUpdater = timeline.create(QStringLiteral("PortListUpdater"), 500, &owner);
    PortSelection ports{controls, devices, port, *portListUpdater, notifier};

    ConnectionRow() {
        QObject::connect(portListUpdater, &Timer::timeout, &owner,
                         [this] { ports.PortListUpdater_Action(); });
        portListUpdater->setMode(Timer::Repeating);
    }
    void plug(const QStringList& names) {
        devices.setNames(names);
        timeline.advance(500);
    }
};

// The controls this row drives, in one line for comparisons.
QString describe(const ConnectionRow& row) {
    const ControlsState& c = row.controls;
    return QStringLiteral("rows=%1 selected=%2 list=%3 button=%4/%5 log=%6/%7 hpu=%8 updater=%9")
        .arg(c.SerialPortsPopupMenu_rows.join(QLatin1Char(',')))
        .arg(c.SerialPortsPopupMenu_selected)
        .arg(c.SerialPortsPopupMenu_enabled)
        .arg(c.ConnectButton.caption)
        .arg(c.ConnectButton.enabled)
        .arg(c.CheckBoxLog_enabled)
        .arg(c.CheckBoxLog_checked)
        .arg(c.HPUMenu_enabled)
        .arg(row.portListUpdater->mode());
}

void checkConnected(const ConnectionRow& row) {
    QCOMPARE(row.controls.ConnectButton.caption, QStringLiteral("Disconnect"));
    QVERIFY(!row.controls.SerialPortsPopupMenu_enabled);
    QVERIFY(row.controls.CheckBoxLog_enabled);
    QCOMPARE(row.portListUpdater->mode(), Timer::Off);
    QVERIFY(row.controls.HPUMenu_enabled);
    QVERIFY(row.ports.isConnected());
    QVERIFY(row.port.isOpen());
}

void checkDisconnectedAfterLink(const ConnectionRow& row) {
    QCOMPARE(row.controls.ConnectButton.caption, QStringLiteral("Connect"));
    QVERIFY(row.controls.SerialPortsPopupMenu_enabled);
    QVERIFY(!row.controls.CheckBoxLog_enabled);
    QCOMPARE(row.portListUpdater->mode(), Timer::Repeating);
    QCOMPARE(row.portListUpdater->period(), 500);
    QVERIFY(!row.controls.HPUMenu_enabled);
    QVERIFY(!row.ports.isConnected());
    QVERIFY(!row.port.isOpen());
}

} // namespace

class TestPortSelection : public QObject {
    Q_OBJECT
private slots:
    void friendlyNameIsTheSystemName() {
        QCOMPARE(GetSerialPortFriendlyName(QStringLiteral("cu.usbserial-FT4ZK1")),
                 QStringLiteral("cu.usbserial-FT4ZK1"));
    }

    // Each tick compares the device count with the row count, and only then rebuilds.
    void listRefresh_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("userSelection"); // -2: leave the refresh's selection
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("selected");
        QTest::newRow("no adapter: empty list, button disabled")
            << QStringList{} << -2 << QStringList{} << QStringList{} << -1;
        QTest::newRow("adapter plugged in: filled and selected")
            << QStringList{} << -2 << QStringList{"ttyUSB0"} << QStringList{"ttyUSB0"} << 0;
        QTest::newRow("third device plugged: last row selected")
            << QStringList{"ttyS0", "ttyUSB0"} << 0 << QStringList{"ttyS0", "ttyUSB0", "ttyUSB1"}
            << QStringList{"ttyS0", "ttyUSB0", "ttyUSB1"} << 2;
        QTest::newRow("one of three unplugged: the selected device stays selected")
            << QStringList{"ttyS0", "ttyUSB0", "ttyUSB1"} << 2 << QStringList{"ttyS0", "ttyUSB1"}
            << QStringList{"ttyS0", "ttyUSB1"} << 1;
        QTest::newRow("selected device unplugged: first row selected")
            << QStringList{"ttyS0", "ttyUSB0", "ttyUSB1"} << 1 << QStringList{"ttyS0", "ttyUSB1"}
            << QStringList{"ttyS0", "ttyUSB1"} << 0;
        QTest::newRow("all unplugged: empty, button disabled")
            << QStringList{"ttyUSB0"} << -2 << QStringList{} << QStringList{} << -1;
        QTest::newRow("adapter swapped, another selected: rebuilt, selection kept")
            << QStringList{"ttyS0", "ttyUSB0"} << 0 << QStringList{"ttyS0", "ttyACM0"}
            << QStringList{"ttyS0", "ttyACM0"} << 0;
        QTest::newRow("selected adapter swapped: the new one selected")
            << QStringList{"ttyUSB0", "ttyS0"} << 0 << QStringList{"ttyS0", "ttyACM0"}
            << QStringList{"ttyS0", "ttyACM0"} << 1;
        QTest::newRow("same names in a new order: selection follows its name")
            << QStringList{"ttyS0", "ttyUSB0"} << 1 << QStringList{"ttyUSB0", "ttyS0"}
            << QStringList{"ttyUSB0", "ttyS0"} << 0;
    }
    void listRefresh() {
        QFETCH(QStringList, before);
        QFETCH(int, userSelection);
        QFETCH(QStringList, after);
        QFETCH(QStringList, rows);
        QFETCH(int, selected);
        ConnectionRow row;
        row.plug(before);
        if (userSelection != -2)
            row.ports.SerialPortsPopupMenu_SelectionChanged(userSelection);
        row.plug(after);
        QCOMPARE(row.controls.SerialPortsPopupMenu_rows, rows);
        QCOMPARE(row.controls.SerialPortsPopupMenu_selected, selected);
        QCOMPARE(row.controls.ConnectButton.enabled, selected >= 0);
    }

    void firstRefreshHalfASecondAfterStart() {
        ConnectionRow row;
        row.devices.setNames({QStringLiteral("ttyUSB0")});
        row.timeline.advance(499);
        QVERIFY(row.controls.SerialPortsPopupMenu_rows.isEmpty());
        QVERIFY(!row.controls.ConnectButton.enabled);
        row.timeline.advance(1);
        QCOMPARE(row.controls.SerialPortsPopupMenu_rows, QStringList{QStringLiteral("ttyUSB0")});
        QVERIFY(row.controls.ConnectButton.enabled);
    }

    void connectOpensTheSelectedDeviceAndFreezesTheList() {
        ConnectionRow row;
        row.plug({QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")});
        row.ports.SerialPortsPopupMenu_SelectionChanged(0);
        row.ports.ConnectButton_Action();
        checkConnected(row);
        QCOMPARE(row.port.openedDevice.location, QStringLiteral("/dev/ttyS0"));
        QVERIFY(row.notifier.messages.isEmpty());

        // Devices come and go while connected: the list does not move.
        row.plug({QStringLiteral("ttyS0")});
        row.timeline.advance(2000);
        QCOMPARE(row.controls.SerialPortsPopupMenu_rows, (QStringList{"ttyS0", "ttyUSB0"}));

        row.ports.ConnectButton_Action();
        checkDisconnectedAfterLink(row);
        QVERIFY(row.controls.ConnectButton.enabled); // a row is still selected
        row.timeline.advance(500);                   // the refresh resumes and sees the changed count
        QCOMPARE(row.controls.SerialPortsPopupMenu_rows, QStringList{QStringLiteral("ttyS0")});
    }

    void failedOpeningLeavesTheRowDisconnected() {
        ConnectionRow row;
        row.plug({QStringLiteral("ttyUSB0")});
        row.port.failOpen = true;
        const QString before = describe(row);
        row.ports.ConnectButton_Action();
        QCOMPARE(row.notifier.messages,
                 QStringList{QStringLiteral("The serial connection could not be opened.")});
        QCOMPARE(describe(row), before);
        QCOMPARE(row.controls.ConnectButton.caption, QStringLiteral("Connect"));
        QVERIFY(row.controls.SerialPortsPopupMenu_enabled);
        QVERIFY(!row.controls.CheckBoxLog_enabled);
        QCOMPARE(row.portListUpdater->mode(), Timer::Repeating);
        row.plug({QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")}); // still refreshing
        QCOMPARE(row.controls.SerialPortsPopupMenu_selected, 1);
        QCOMPARE(row.notifier.messages.size(), 1);
    }

    void disconnectLeavesTheLogTick() {
        ConnectionRow row;
        row.plug({QStringLiteral("ttyUSB0")});
        row.controls.CheckBoxLog_checked = true;
        row.ports.ConnectButton_Action();
        QVERIFY(row.controls.CheckBoxLog_enabled);
        row.ports.ConnectButton_Action();
        QVERIFY(!row.controls.CheckBoxLog_enabled);
        QVERIFY(row.controls.CheckBoxLog_checked);
    }

    void hpuMenuUsableAgainAfterReconnecting() {
        ConnectionRow row;
        row.plug({QStringLiteral("ttyUSB0")});
        QVERIFY(row.controls.HPUMenu_enabled); // usable at start
        row.ports.ConnectButton_Action();
        row.ports.ConnectButton_Action();
        QVERIFY(!row.controls.HPUMenu_enabled);
        row.ports.ConnectButton_Action();
        checkConnected(row);
        QCOMPARE(row.port.openCount, 2);
    }

    // One adapter swapped for another while disconnected: the list names the new one at the
    // next refresh and Connect opens it, where it used to fail until a count changed.
    void swappedAdapterIsListedAndOpened() {
        ConnectionRow row;
        row.plug({QStringLiteral("ttyUSB0")});
        row.plug({QStringLiteral("ttyACM0")});
        QCOMPARE(row.controls.SerialPortsPopupMenu_rows, QStringList{QStringLiteral("ttyACM0")});
        QCOMPARE(row.controls.SerialPortsPopupMenu_selected, 0);
        row.ports.ConnectButton_Action();
        QVERIFY(row.notifier.messages.isEmpty());
        QVERIFY(row.port.isOpen());
        QCOMPARE(row.port.openedDevice.location, QStringLiteral("/dev/ttyACM0"));
    }

    // A press whose selected row names no device present any more (unplugged after the last
    // refresh) is reported as a failed opening and changes nothing else.
    void pressOnAStaleRow_data() {
        QTest::addColumn<int>("selectedRow");
        QTest::addColumn<QStringList>("nowPresent");
        QTest::newRow("selected last device unplugged") << 1 << QStringList{"ttyUSB0"};
        QTest::newRow("selected device unplugged, another takes its index") << 0 << QStringList{"ttyUSB1"};
        QTest::newRow("every device unplugged") << 0 << QStringList{};
    }
    void pressOnAStaleRow() {
        QFETCH(int, selectedRow);
        QFETCH(QStringList, nowPresent);
        ConnectionRow row;
        row.plug({QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")});
        row.ports.SerialPortsPopupMenu_SelectionChanged(selectedRow);
        row.devices.setNames(nowPresent); // before the next refresh
        const QString before = describe(row);
        row.ports.ConnectButton_Action();
        QCOMPARE(row.notifier.messages,
                 QStringList{QStringLiteral("The serial connection could not be opened.")});
        QCOMPARE(describe(row), before);
        QCOMPARE(row.port.openCount, 0);
        QVERIFY(!row.port.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestPortSelection)
#include "tst_portselection.moc"

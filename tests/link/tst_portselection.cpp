#include "FakeSerialPort.h"
#include "ManualTimeline.h"
#include "link/PortSelection.h"

#include <QTest>

namespace {

// The device list of the main window with its 500 ms refresh.
struct ConnectionRow {
    ManualTimeline timeline;
    FakeDeviceList devices;
    QObject owner;
    Timer* portListUpdater = timeline.create(QStringLiteral("PortListUpdater"), 500, &owner);
    PortSelection ports{devices};

    ConnectionRow() {
        QObject::connect(portListUpdater, &Timer::timeout, &owner, [this] { ports.PortListUpdater_Action(); });
        portListUpdater->setMode(Timer::Repeating);
    }
    void plug(const QStringList& names) {
        devices.setNames(names);
        timeline.advance(500);
    }
};

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
        QCOMPARE(row.ports.rows(), rows);
        QCOMPARE(row.ports.selected(), selected);
        QCOMPARE(row.ports.selectedName(), rows.value(selected));
    }

    void firstRefreshHalfASecondAfterStart() {
        ConnectionRow row;
        row.devices.setNames({QStringLiteral("ttyUSB0")});
        row.timeline.advance(499);
        QVERIFY(row.ports.rows().isEmpty());
        QCOMPARE(row.ports.selected(), -1);
        row.timeline.advance(1);
        QCOMPARE(row.ports.rows(), QStringList{QStringLiteral("ttyUSB0")});
        QCOMPARE(row.ports.selected(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPortSelection)
#include "tst_portselection.moc"

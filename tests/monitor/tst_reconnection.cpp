// A lost adapter while the window is connected: the line that says so, the reopening of the
// same device once a second, the pending command, and Disconnect ending the attempts.
#include "Hex.h"
#include "TestPlatform.h"
#include "link/Frame.h"
#include "monitor/Monitor.h"

#include <QTest>

namespace {

// U_in 52.5 V (V2).
const QByteArray kConverter = hexBytes("00 01 10 10 02 0D 30 D4 13 88 AB CD 01 2C 00 C8 00 00 04 3C");
const QByteArray kPump = hexBytes("12 11 48 02 00 6D");
const QString kLost = QStringLiteral("Connection lost \u2013 reconnecting to ttyUSB0\u2026");

struct Bench {
    TestPlatform doubles;
    Monitor monitor{doubles.platform()};
    ManualTimeline& timeline = doubles.timeline;
    FakeSerialPort& port = doubles.port;
    QStringList events; // "kind: detail"

    Bench() {
        doubles.devices.setNames({QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")});
        monitor.setLogChecked(false);
        QObject::connect(&monitor, &Monitor::eventOccurred, [this](const MonitorEvent& e) {
            events.append(MonitorEvent::name(e.kind) + QStringLiteral(": ") + e.detail);
        });
        timeline.advance(500); // the list is filled, its last row selected
        monitor.ConnectButton_Action();
    }
    const QString& line() const { return monitor.controls().connectionLine; }
    void receive(const QByteArray& bytes) {
        port.feed(bytes);
        timeline.advance(10);
    }
};

} // namespace

class TestReconnection : public QObject {
    Q_OBJECT
private slots:
    // One error: the port is closed, the line appears at once, and the next second's attempt
    // reopens the same device by its name, even at a new place; data then flows as before.
    void errorThenReopenedByName() {
        Bench b;
        QVERIFY(b.port.isOpen());
        QVERIFY(b.line().isEmpty());
        b.port.raiseError(QStringLiteral("Input/output error"));
        QVERIFY(!b.port.isOpen());
        QCOMPARE(b.line(), kLost);
        QVERIFY(b.monitor.isConnected());
        QCOMPARE(b.monitor.controls().ConnectButton.caption, QStringLiteral("Disconnect"));

        // Unplugged: attempts find nothing to open.
        b.doubles.devices.setNames({QStringLiteral("ttyS0")});
        b.timeline.advance(3000);
        QCOMPARE(b.port.openCount, 1);
        QCOMPARE(b.line(), kLost);

        // Plugged back at another place: reopened within a second.
        b.doubles.devices.list = {{QStringLiteral("ttyS0"), QStringLiteral("/dev/ttyS0")},
                                  {QStringLiteral("ttyUSB0"), QStringLiteral("/dev/bus/7")}};
        b.timeline.advance(1000);
        QVERIFY(b.port.isOpen());
        QCOMPARE(b.port.openedDevice.location, QStringLiteral("/dev/bus/7"));
        QVERIFY(b.line().isEmpty());
        b.receive(kConverter);
        QCOMPARE(b.monitor.state().U_in, 52.5);
        QCOMPARE(b.events, (QStringList{QStringLiteral("connected: ttyUSB0"),
                                        QStringLiteral("connection lost: Input/output error"),
                                        QStringLiteral("reconnected: ttyUSB0")}));
    }

    // The device leaves the system's list while its port still looks open: within a second the
    // line shows and the port is closed; it is reopened when the device is listed again.
    void deviceGoneFromTheList() {
        Bench b;
        b.doubles.devices.setNames({QStringLiteral("ttyS0")});
        b.timeline.advance(1000);
        QVERIFY(!b.port.isOpen());
        QCOMPARE(b.line(), kLost);
        QCOMPARE(b.events.value(1), QStringLiteral("connection lost: ttyUSB0 is no longer listed"));
        b.doubles.devices.setNames({QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")});
        b.timeline.advance(1000);
        QVERIFY(b.port.isOpen());
        QVERIFY(b.line().isEmpty());
    }

    // A press of the pump button while lost stays pending, says so, and is written once in the
    // quiet gap after the first converter frame on the reopened port.
    void pendingCommandSaidAndSentAfterReopening() {
        Bench b;
        b.port.raiseError();
        b.monitor.PompeButton_Action();
        QCOMPARE(b.line(), kLost + QStringLiteral(" \u2013 pump command pending"));
        b.timeline.advance(1000);
        QVERIFY(b.port.isOpen());
        b.receive(kConverter);
        b.timeline.advance(200);
        QCOMPARE(b.port.writes, QList<QByteArray>{kPump});
        QVERIFY(b.line().isEmpty());
        QCOMPARE(b.events.last(), QStringLiteral("command written: pump"));
    }

    // Disconnect during the attempts: the line goes and nothing is opened any more.
    void disconnectStopsTheAttempts() {
        Bench b;
        b.port.raiseError();
        b.port.failOpen = true;
        b.timeline.advance(2000);
        QCOMPARE(b.port.openCount, 3); // the Connect, then one attempt a second
        b.monitor.ConnectButton_Action();
        QVERIFY(!b.monitor.isConnected());
        QVERIFY(b.line().isEmpty());
        b.port.failOpen = false;
        b.timeline.advance(5000);
        QCOMPARE(b.port.openCount, 3);
        QVERIFY(!b.port.isOpen());
        QCOMPARE(b.monitor.TimerReconnect().mode(), Timer::Off);
        QCOMPARE(b.events.last(), QStringLiteral("disconnected: ttyUSB0"));
    }

    // Errors 1 to 11 only close the port, each reopened by the next second's attempt; the
    // reset tick empties the count every 5 s, so a port that fails once after each reopening
    // never reaches the twelfth error: the tool keeps reconnecting.
    void errorAfterEveryReopeningKeepsReconnecting() {
        Bench b;
        for (int second = 0; second < 30; ++second) {
            b.port.raiseError();
            QCOMPARE(b.line(), kLost);
            b.timeline.advance(1000);
            QVERIFY(b.port.isOpen());
        }
        QVERIFY(b.doubles.notifier.messages.isEmpty());
        QVERIFY(b.monitor.isConnected());
        QVERIFY(b.monitor.state().serial_count_errors <= 5);
    }

    // An adapter open but silent: reopened once when the limit is set and bytes were flowing
    // before; never when it is off (the window), when the bus never spoke, or when bytes come
    // back just in time. After the reopening the watch waits for bytes again, so a bus that
    // stays silent is not reopened every 10 s.
    void silentAdapterReopenedOnlyAfterBytesFlowed_data() {
        QTest::addColumn<qint64>("limitMs");
        QTest::addColumn<bool>("bytesFirst");
        QTest::addColumn<qint64>("silenceMs"); // then bytes again
        QTest::addColumn<bool>("reopened");
        QTest::newRow("silent 10 s after bytes") << qint64(10000) << true << qint64(31000) << true;
        QTest::newRow("limit off (the window)") << qint64(0) << true << qint64(31000) << false;
        QTest::newRow("never spoke") << qint64(10000) << false << qint64(31000) << false;
        QTest::newRow("bytes back after 9 s") << qint64(10000) << true << qint64(8900) << false;
    }
    void silentAdapterReopenedOnlyAfterBytesFlowed() {
        QFETCH(qint64, limitMs);
        QFETCH(bool, bytesFirst);
        QFETCH(qint64, silenceMs);
        QFETCH(bool, reopened);
        Bench b;
        b.monitor.setSilentAdapterReopened(limitMs);
        if (bytesFirst)
            b.receive(kConverter);
        b.timeline.advance(silenceMs);
        QVERIFY(b.port.isOpen());
        QCOMPARE(b.port.openCount, reopened ? 2 : 1);
        QStringList expected{QStringLiteral("connected: ttyUSB0")};
        if (reopened)
            expected << QStringLiteral("connection lost: no byte from ttyUSB0 for 10 s while its port was "
                                       "open: reopening it")
                     << QStringLiteral("reconnected: ttyUSB0");
        QCOMPARE(b.events, expected);
        // Data flows on the port as before, and the watch is armed again by it.
        b.receive(kConverter);
        QCOMPARE(b.monitor.state().U_in, 52.5);
        b.timeline.advance(12000);
        QCOMPARE(b.port.openCount, limitMs > 0 ? (reopened ? 3 : 2) : 1);
        QVERIFY(b.monitor.isConnected());
    }
};

QTEST_GUILESS_MAIN(TestReconnection)
#include "tst_reconnection.moc"

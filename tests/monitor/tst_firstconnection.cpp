// The unattended logger's first Connect: an adapter absent or held by another program at start
// is tried again once a second, each reason told once, until the device opens.
#include "TestPlatform.h"
#include "monitor/FirstConnection.h"
#include "monitor/Monitor.h"

#include <QTest>

namespace {

struct Bench {
    TestPlatform doubles;
    Monitor monitor{doubles.platform()};
    FirstConnection first{monitor, [](const QStringList& rows) { return int(rows.indexOf("ttyUSB0")); }};
    QStringList told; // "absent" or "cannot open", and "connected: <device>"
    QStringList events;

    Bench() {
        QObject::connect(
            &first, &FirstConnection::waiting, [this](FirstConnection::Reason reason, const QStringList&) {
                told << (reason == FirstConnection::Reason::Absent ? QStringLiteral("absent")
                                                                   : QStringLiteral("cannot open"));
            });
        QObject::connect(&first, &FirstConnection::connected,
                         [this](const QString& device) { told << QStringLiteral("connected: ") + device; });
        QObject::connect(&monitor, &Monitor::eventOccurred,
                         [this](const MonitorEvent& e) { events << MonitorEvent::name(e.kind); });
    }
};

} // namespace

class TestFirstConnection : public QObject {
    Q_OBJECT
private slots:
    // Each row: what stands in the way at start, for how long, and the reasons told meanwhile.
    void waitsUntilTheDeviceOpens_data() {
        QTest::addColumn<bool>("listed");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QStringList>("toldWhileWaiting");
        QTest::newRow("present") << true << false << QStringList{};
        QTest::newRow("absent") << false << false << QStringList{"absent"};
        QTest::newRow("held by another program") << true << true << QStringList{"cannot open"};
        QTest::newRow("absent, then held") << false << true << QStringList{"absent", "cannot open"};
    }
    void waitsUntilTheDeviceOpens() {
        QFETCH(bool, listed);
        QFETCH(bool, refused);
        QFETCH(QStringList, toldWhileWaiting);
        Bench b;
        b.doubles.devices.setNames(listed ? QStringList{"ttyS0", "ttyUSB0"} : QStringList{"ttyS0"});
        b.doubles.port.failOpen = refused;
        b.first.start();
        b.doubles.timeline.advance(5000);
        if (!listed) {
            QCOMPARE(b.told, QStringList{"absent"});
            QCOMPARE(b.doubles.port.openCount, 0); // nothing else is opened in its place
            QVERIFY(b.first.isWaiting());
            b.doubles.devices.setNames({"ttyS0", "ttyUSB0"}); // plugged in
            b.doubles.timeline.advance(5000);
        }
        // Still held: waiting, each reason told once.
        QCOMPARE(b.told.mid(0, toldWhileWaiting.size()), toldWhileWaiting);
        QCOMPARE(b.monitor.isConnected(), !refused);
        QCOMPARE(b.first.isWaiting(), refused);

        b.doubles.port.failOpen = false;
        b.doubles.timeline.advance(1000);
        QCOMPARE(b.told, toldWhileWaiting + QStringList{"connected: ttyUSB0"}); // once
        QVERIFY(b.monitor.isConnected());
        QVERIFY(!b.first.isWaiting());
        QCOMPARE(b.doubles.port.openedDevice.name, QStringLiteral("ttyUSB0"));
        QCOMPARE(b.events, QStringList{"connected"});
        // Connected: no more attempts, whatever the list does.
        const int opened = b.doubles.port.openCount;
        b.doubles.timeline.advance(5000);
        QCOMPARE(b.doubles.port.openCount, opened);
    }
};

QTEST_GUILESS_MAIN(TestFirstConnection)
#include "tst_firstconnection.moc"

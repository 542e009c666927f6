// The wall clock stepped under a running monitor: the step is an event (and so a line of the
// journal) with the time the clock should have shown and the time it shows; a clock that only
// drifts, a late tick or a change of daylight saving time is not a step.
#include "Files.h"
#include "TestPlatform.h"
#include "monitor/ClockStepWatch.h"

#include <QSignalSpy>
#include <QTest>

#include <cstdlib>
#include <ctime>

namespace {

QDateTime local(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

} // namespace

class TestClockStep : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The offsets in the texts below are Paris's: winter +01:00, summer +02:00.
        qputenv("TZ", "Europe/Paris");
        tzset();
    }

    void stepsOfTheWallClock_data() {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<qint64>("stepMs"); // the wall clock moved after the first second
        QTest::addColumn<qint64>("lateMs"); // then a tick comes this late, both clocks moving
        QTest::addColumn<QString>("detail"); // empty: not a step
        const QDateTime boot = local(2021, 3, 14, 10, 0, 0);
        const qint64 years = boot.msecsTo(local(2026, 12, 11, 12, 0, 0));
        QTest::newRow("booted in the past, then set from the network")
            << boot << years << qint64(0)
            << "from 2021-03-14 10:00:01 +01:00 to 2026-12-11 12:00:01 +01:00 (forward 181274400 s)";
        QTest::newRow("set back an hour") << boot << qint64(-3600000) << qint64(0)
                                          << "from 2021-03-14 10:00:01 +01:00 to 2021-03-14 09:00:01 +01:00 (back 3600 s)";
        QTest::newRow("back 2.5 s") << boot << qint64(-2500) << qint64(0)
                                    << "from 2021-03-14 10:00:01 +01:00 to 2021-03-14 09:59:59 +01:00 (back 2.5 s)";
        QTest::newRow("forward 2 s: within the tolerance") << boot << qint64(2000) << qint64(0) << QString();
        QTest::newRow("back 2 s: within the tolerance") << boot << qint64(-2000) << qint64(0) << QString();
        QTest::newRow("a tick a minute late") << boot << qint64(0) << qint64(60000) << QString();
        QTest::newRow("summer time begins") << local(2026, 3, 29, 1, 59, 58) << qint64(0) << qint64(0) << QString();
    }
    void stepsOfTheWallClock() {
        QFETCH(QDateTime, start);
        QFETCH(qint64, stepMs);
        QFETCH(qint64, lateMs);
        QFETCH(QString, detail);
        TestPlatform platform;
        platform.timeline.setWallClock(start);
        platform.devices.setNames({QStringLiteral("ttyUSB0")});
        Monitor monitor(platform.platform());
        QSignalSpy events(&monitor, &Monitor::eventOccurred);
        platform.timeline.advance(500);
        monitor.ConnectButton_Action();
        platform.timeline.advance(500); // the first check takes the clocks' positions
        platform.timeline.setWallClock(platform.timeline.now().addMSecs(stepMs));
        platform.timeline.jump(lateMs);
        platform.timeline.advance(4000);

        QStringList steps;
        for (const QList<QVariant>& e : events) {
            const MonitorEvent event = e.at(0).value<MonitorEvent>();
            if (event.kind == MonitorEvent::Kind::ClockStepped)
                steps << event.detail;
        }
        QCOMPARE(steps, detail.isEmpty() ? QStringList() : QStringList{detail});
    }

    // The step goes to the journal of the day the clock now shows, and the CSV log carries on
    // in that day's file; the lines before it stay in the old day's file.
    void theStepIsJournalledBesideTheNewDaysLog() {
        TestPlatform platform;
        platform.timeline.setWallClock(local(2021, 3, 14, 10, 0, 0));
        platform.devices.setNames({QStringLiteral("ttyUSB0")});
        Monitor monitor(platform.platform());
        platform.timeline.advance(500);
        monitor.ConnectButton_Action();
        platform.timeline.advance(1000);
        platform.timeline.setWallClock(local(2026, 12, 11, 12, 0, 0, 200));
        platform.timeline.advance(1000);

        const QString documents = platform.userFolders.documents();
        const QByteArray journal = readAll(documents + "/2026_12_11_EventsOrvane_ttyUSB0.csv");
        QVERIFY2(journal.contains("\n2026-12-11;12:00:00;clock stepped;from 2021-03-14 10:00:02 +01:00 to "
                                  "2026-12-11 12:00:00 +01:00 (forward "),
                 journal.constData());
        QVERIFY(readAll(documents + "/2021_03_14_LogOrvane_ttyUSB0.csv").startsWith("LOG ORVANE\n"));
        QVERIFY(readAll(documents + "/2026_12_11_LogOrvane_ttyUSB0.csv").startsWith("LOG ORVANE\n"));
    }
};

QTEST_GUILESS_MAIN(TestClockStep)
#include "tst_clockstep.moc"

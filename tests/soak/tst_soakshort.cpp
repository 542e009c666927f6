// Four simulated hours of the installation on a noisy line through the whole monitor with
// the log on, from 22:00 across midnight: memory flat after the first hour, one log line per
// second, a new file from midnight, every command heard, nothing told to the user. The
// day-long run is `make soak`.
#include "SoakRun.h"

#include <QTest>

class TestSoakShort : public QObject {
    Q_OBJECT
private slots:
    void hoursOfNoisyTrafficAcrossMidnight_flatMemoryAndOneLogLinePerSecond() {
        SoakSettings settings;
        settings.simulatedHours = 4;
        settings.warmUpHours = 1;
        settings.memoryGrowthBound = 1 << 20;
        settings.wallStart = QDateTime(QDate(2026, 3, 14), QTime(22, 0));
        const SoakReport report = runSoak(settings);
        qInfo("%s", qPrintable(report.summary()));
        QVERIFY2(report.failure.isEmpty(), qPrintable(report.failure));
        QCOMPARE(report.logLines, qint64(4 * 3600));
        QCOMPARE(report.logFiles, 2); // the 14th's and the 15th's
        QVERIFY(report.faultsInjected > 0);
    }
};

QTEST_GUILESS_MAIN(TestSoakShort)
#include "tst_soakshort.moc"

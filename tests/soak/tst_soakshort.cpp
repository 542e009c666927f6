// Four simulated hours of the installation on a noisy line through the whole monitor with
// the log on: memory flat after the first hour, one log line per second, every command
// heard, nothing told to the user. The day-long run is `make soak`.
#include "SoakRun.h"

#include <QTest>

class TestSoakShort : public QObject {
    Q_OBJECT
private slots:
    void hoursOfNoisyTraffic_flatMemoryAndOneLogLinePerSecond() {
        SoakSettings settings;
        settings.simulatedHours = 4;
        settings.warmUpHours = 1;
        settings.memoryGrowthBound = 1 << 20;
        const SoakReport report = runSoak(settings);
        qInfo("%s", qPrintable(report.summary()));
        QVERIFY2(report.failure.isEmpty(), qPrintable(report.failure));
        QCOMPARE(report.logLines, qint64(4 * 3600));
        QVERIFY(report.faultsInjected > 0);
    }
};

QTEST_GUILESS_MAIN(TestSoakShort)
#include "tst_soakshort.moc"

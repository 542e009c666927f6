// The bus health counters of the raw-stream page against the simulated installation with line
// faults switched on: what the tool counted is what the simulator injected.
#include "TestPlatform.h"
#include "monitor/Monitor.h"
#include "sim/SimulatedSerialPort.h"

#include <QTest>

using Sim::FaultKind;

class TestBusHealth : public QObject {
    Q_OBJECT
private slots:
    void countsMatchTheInjectedFaults_data() {
        QTest::addColumn<double>("rate");
        QTest::addColumn<QVector<FaultKind>>("kinds");
        QTest::newRow("clean line") << 0.0 << QVector<FaultKind>{};
        QTest::newRow("bad checksums") << 0.3 << QVector<FaultKind>{FaultKind::BadChecksum};
        QTest::newRow("stray bytes") << 0.3 << QVector<FaultKind>{FaultKind::StrayByte};
        QTest::newRow("silences") << 0.05 << QVector<FaultKind>{FaultKind::Silence};
        QTest::newRow("all but junk")
            << 0.3 << QVector<FaultKind>{FaultKind::BadChecksum, FaultKind::StrayByte, FaultKind::Silence};
    }
    void countsMatchTheInjectedFaults() {
        QFETCH(double, rate);
        QFETCH(QVector<FaultKind>, kinds);
        TestPlatform doubles;
        Sim::SimulationSettings settings;
        settings.faults.rate = rate;
        settings.faults.kinds = kinds;
        settings.faults.silenceMs = 1500;
        // Periods that never put a frame on its way at the once-a-second refresh.
        settings.converterPeriodMs = 230;
        settings.hpuPeriodMs = 470;
        SimulatedSerialPort line(doubles.timeline, doubles.timeline, settings);
        Monitor monitor(Platform{doubles.timeline, doubles.timeline, doubles.timeline, line, doubles.devices,
                                 doubles.notifier, doubles.sound, doubles.resources, doubles.userFolders});
        monitor.setLogChecked(false);
        doubles.devices.setNames({QStringLiteral("ttyUSB0")});
        doubles.timeline.advance(500);
        monitor.ConnectButton_Action();
        QVERIFY(line.isOpen());
        doubles.timeline.advance(60000); // a minute, up to a refresh

        const Sim::LineFaults& faults = line.installation().faults();
        const LinkCounters& counted = monitor.busHealth().figures().totals;
        const quint64 lost = quint64(faults.count(FaultKind::Silence));
        const quint64 corrupted = quint64(faults.count(FaultKind::BadChecksum));
        QCOMPARE(counted.checksumErrors, corrupted);
        QCOMPARE(counted.junkBytes, quint64(faults.count(FaultKind::StrayByte)));
        QCOMPARE(counted.overlongFrames, quint64(0));
        QCOMPARE(counted.converterFrames + counted.hpuFrames,
                 quint64(faults.framesDrawn()) - lost - corrupted);
        if (rate > 0.0)
            QVERIFY(lost + corrupted + quint64(faults.count(FaultKind::StrayByte)) > 0);
    }

    // Rates and the line's use over the last second, and the time since each device was heard.
    void ratesOfACleanLine() {
        TestPlatform doubles;
        SimulatedSerialPort line(doubles.timeline, doubles.timeline);
        Monitor monitor(Platform{doubles.timeline, doubles.timeline, doubles.timeline, line, doubles.devices,
                                 doubles.notifier, doubles.sound, doubles.resources, doubles.userFolders});
        monitor.setLogChecked(false);
        doubles.devices.setNames({QStringLiteral("ttyUSB0")});
        doubles.timeline.advance(500);
        monitor.ConnectButton_Action();
        QCOMPARE(
            monitor.controls().busHealthText,
            QStringLiteral(
                "Converter 0.0 frames/s, not heard \u00b7 HPU 0.0 frames/s, not heard \u00b7 line 0 % used\n"
                "Checksum errors 0 \u00b7 junk bytes 0 \u00b7 over-long frames 0 \u00b7 commands sent 0"));
        monitor.PompeButton_Action();
        doubles.timeline.advance(5000);
        const BusHealth::Figures& f = monitor.busHealth().figures();
        QCOMPARE(f.converterFramesPerSecond, 5.0); // every 200 ms
        QCOMPARE(f.hpuFramesPerSecond, 2.0);       // every 500 ms
        // 5 x 20 + 2 x 11 bytes a second of the 960 the line carries.
        QCOMPARE(qRound(f.lineUsePercent), qRound(100.0 * 122 / 960));
        QCOMPARE(f.converterSilentSeconds, std::optional<qint64>(0));
        QCOMPARE(f.totals.commandsSent, quint64(1));
        QVERIFY(monitor.controls().busHealthText.contains(QStringLiteral("commands sent 1")));

        // Counted again from zero after a new Connect.
        monitor.ConnectButton_Action();
        monitor.ConnectButton_Action();
        doubles.timeline.advance(1000);
        QCOMPARE(monitor.busHealth().figures().totals.commandsSent, quint64(0));
        QCOMPARE(monitor.busHealth().figures().totals.converterFrames, quint64(5));
    }
};

QTEST_GUILESS_MAIN(TestBusHealth)
#include "tst_bushealth.moc"

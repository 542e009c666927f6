// velmora-sim --replay on a real pseudo-terminal, read by the monitor through QSerialPort with
// the real timers and clocks: a capture recorded from a live run of the demo installation,
// replayed at speed 10, logs the live run's values. Every wait is bounded.
#include "RecordedRun.h"
#include "SimulatorProcess.h"
#include "link/QtSerialPort.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

class TestReplayPty : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void replayOnAPseudoTerminalLogsTheLiveValues() {
        QTemporaryDir dir;
        const QString capture = dir.filePath(QStringLiteral("live.txt"));
        const RecordedRun live = recordDemoRun(capture, dir.filePath(QStringLiteral("live-logs")), 50);
        QVERIFY(live.stateLines.size() > 250);

        SimulatorProcess sim(QStringLiteral(VELMORA_SIM_PATH),
                             {QStringLiteral("--replay"), capture, QStringLiteral("--speed"), QStringLiteral("10")});
        const QString device = sim.devicePath;
        QVERIFY2(!device.isEmpty(), qPrintable(sim.output));

        // The monitor on the real serial port, timers and clocks; doubles for the rest.
        SystemProgramClock clock;
        SystemWallClock wallClock;
        QtTimerFactory timers;
        QtSerialPort port;
        QtSerialDeviceList devices({device});
        TestPlatform doubles;
        const QString logs = dir.filePath(QStringLiteral("replay-logs"));
        logInto(doubles, logs);
        Monitor monitor(Platform{clock, wallClock, timers, port, devices, doubles.notifier, doubles.sound,
                                 doubles.resources, doubles.userFolders});
        QTRY_VERIFY_WITH_TIMEOUT(!monitor.controls().SerialPortsPopupMenu_rows.isEmpty() &&
                                     monitor.controls().SerialPortsPopupMenu_rows.last() == device &&
                                     monitor.controls().SerialPortsPopupMenu_selected ==
                                         monitor.controls().SerialPortsPopupMenu_rows.size() - 1,
                                 3000);
        monitor.ConnectButton_Action();
        QVERIFY2(monitor.isConnected(), qPrintable(doubles.notifier.messages.join('\n')));
        QVERIFY2(sim.waitFor(QRegularExpression(QStringLiteral("end of replay")), 20000).hasMatch(),
                 qPrintable(sim.output));
        // One more log line, written once the last bytes have been read, then disconnected
        // before the values of the quiet line go stale. On a busy machine the reading lags.
        const qsizetype linesAtEnd = csvDataLines(logs).size();
        QTRY_VERIFY_WITH_TIMEOUT(csvDataLines(logs).size() > linesAtEnd, 2000);
        monitor.ConnectButton_Action();
        sim.pull();

        QStringList replayed = csvDataLines(logs);
        // Lines logged before the first frame was read hold the start values (input voltage 0).
        while (!replayed.isEmpty() && replayed.first().section(QLatin1Char(';'), 1, 1).toDouble() == 0.0)
            replayed.removeFirst();
        QVERIFY2(replayed.size() >= 4, qPrintable(replayed.join('\n')));
        // A second whose values did not change since the last (the replay over, say) logs the
        // same state again: one state of the live run.
        replayed.erase(std::unique(replayed.begin(), replayed.end()), replayed.end());
        const int end = orderedMatchEnd(replayed, live.stateLines);
        QVERIFY2(end >= 0, qPrintable(replayed.join('\n')));
        QVERIFY2(end > live.stateLines.size() * 8 / 10,
                 qPrintable(QString::number(end))); // the whole run, 10 times faster
        QVERIFY(QSet<QString>(replayed.begin(), replayed.end()).size() >= 4);
        QVERIFY(doubles.notifier.messages.isEmpty());
    }

    void damagedCaptureRefusedWithItsLine() {
        QTemporaryDir dir;
        const QString capture = dir.filePath(QStringLiteral("damaged.txt"));
        QFile file(capture);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("# velmora capture 1\n0 rx 00\n5 sideways 00\n");
        file.close();
        QProcess sim;
        sim.start(QStringLiteral(VELMORA_SIM_PATH), {QStringLiteral("--replay"), capture});
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 1);
        const QString error = QString::fromLocal8Bit(sim.readAllStandardError());
        QVERIFY2(error.contains(QStringLiteral("line 3: unknown direction \"sideways\"")), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestReplayPty)
#include "tst_replaypty.moc"

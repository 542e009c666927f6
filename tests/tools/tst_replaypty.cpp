// velmora-sim --replay on a real pseudo-terminal, read by the monitor through QSerialPort with
// the real timers and clocks: a capture recorded from a live run of the demo installation,
// replayed at speed 10, logs the live run's values. Every wait is bounded.
#include "RecordedRun.h"
#include "link/QtSerialPort.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

// velmora-sim's printout, read while the test's event loop runs.
struct Printout {
    QProcess& process;
    QString text;
    bool waitFor(const QString& pattern, int timeoutMs, QString* captured = nullptr) {
        const QRegularExpression expression(pattern);
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            text += QString::fromLocal8Bit(process.readAllStandardOutput());
            const auto match = expression.match(text);
            if (match.hasMatch()) {
                if (captured)
                    *captured = match.captured(1);
                return true;
            }
            if (deadline.hasExpired() || process.state() == QProcess::NotRunning)
                return false;
            QTest::qWait(20);
        }
    }
};

} // namespace

class TestReplayPty : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void replayOnAPseudoTerminalLogsTheLiveValues() {
        QTemporaryDir dir;
        const QString capture = dir.filePath(QStringLiteral("live.txt"));
        const RecordedRun live = recordDemoRun(capture, dir.filePath(QStringLiteral("live-logs")), 50);
        QVERIFY(live.stateLines.size() > 250);

        QProcess sim;
        sim.start(QStringLiteral(VELMORA_SIM_PATH),
                  {QStringLiteral("--replay"), capture, QStringLiteral("--speed"), QStringLiteral("10")});
        Printout printout{sim, {}};
        QString device;
        QVERIFY2(printout.waitFor(QStringLiteral("Connect with: velmora --port (\\S+)\\n"), 10000, &device),
                 qPrintable(printout.text));

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
        QVERIFY2(printout.waitFor(QStringLiteral("end of replay"), 20000), qPrintable(printout.text));
        monitor.ConnectButton_Action(); // before the values of the quiet line go stale
        sim.kill();
        sim.waitForFinished(5000);

        const QStringList replayed = csvDataLines(logs);
        QVERIFY2(replayed.size() >= 4, qPrintable(replayed.join('\n')));
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

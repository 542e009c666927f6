// velmora-logger as a program: what it refuses at start, how it stops, and what it does (and
// never does) to the installation it reads.
#include "LoggerProcess.h"
#include "UserTexts.h"
#include "datalog/CsvLog.h"
#include "link/QtSerialPort.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTime>
#include <QTest>

#include <csignal>
#include <cstring>

#ifdef VELMORA_WITH_SYSTEMD
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

const QString kLogger = QStringLiteral(VELMORA_LOGGER_PATH);

struct Finished {
    int exitCode;
    QString stderrText;
};

Finished runToEnd(const QStringList& arguments) {
    LoggerProcess logger(kLogger);
    logger.start(arguments);
    if (!logger.process.waitForFinished(15000))
        return {-1, QStringLiteral("did not finish: ") + logger.stderrText()};
    return {logger.process.exitStatus() == QProcess::NormalExit ? logger.process.exitCode() : -2,
            logger.stderrText()};
}

// Starts velmora-sim and returns the pseudo-terminal it serves, empty when it gave none.
QString startSimulator(QProcess& sim, const QStringList& arguments, QByteArray& output) {
    sim.start(QStringLiteral(VELMORA_SIM_PATH), arguments);
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && sim.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
        output += sim.readAllStandardOutput();
        const auto match =
            QRegularExpression(QStringLiteral("Device: (\\S+)\\n")).match(QString::fromLocal8Bit(output));
        if (match.hasMatch())
            return match.captured(1);
    }
    return QString();
}

// True when the six converter columns of a log line hold what the simulated converter sends:
// a value not heard is logged as -1 in its column's mask ("-01.000", "-01.0", "-01"), and one
// never decoded stays at 0, while the simulated generator gives some 48 V.
bool carriesConverterValues(const QString& line) {
    const QStringList fields = line.split(QLatin1Char(';'));
    if (fields.size() < 8)
        return false;
    QVector<double> values;
    for (int column = 1; column <= 6; ++column) {
        bool ok = false;
        values << QString(fields[column]).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok || values.last() == -1.0)
            return false;
    }
    return values[0] > 10.0; // the input voltage
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestVelmoraLogger : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("logs")));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("a-file")), "x"));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("empty-password")), "\n"));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("password")), "secret\n"));
    }

    void mistakesAreRefusedAtStartWithStatus2_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString logs = dir.filePath(QStringLiteral("logs"));
        const QString aFile = dir.filePath(QStringLiteral("a-file"));
        const QString password = dir.filePath(QStringLiteral("password"));
        const QString missing = dir.filePath(QStringLiteral("missing"));
        const QStringList demo{QStringLiteral("--demo"), QStringLiteral("--log-folder"), logs};
        QTest::newRow("no device") << QStringList{} << "exactly one of --port PATH, --device TEXT or --demo";
        QTest::newRow("two devices") << QStringList{"--demo", "--port", aFile} << "exactly one of";
        QTest::newRow("log folder a file")
            << QStringList{"--demo", "--log-folder", aFile} << "--log-folder: " + aFile + " is not a folder";
        QTest::newRow("alarm settings missing") << demo + QStringList{"--alarm-settings", missing}
                                                << "--alarm-settings: " + missing + " does not exist";
        QTest::newRow("twice the same")
            << demo + QStringList{"--log-folder", logs} << "--log-folder is given more than once";
        QTest::newRow("unknown option")
            << demo + QStringList{"--frobnicate"} << "Unknown option 'frobnicate'";
        QTest::newRow("stray argument") << demo + QStringList{"extra"} << "unexpected argument: extra";
        QTest::newRow("record into a missing folder")
            << demo + QStringList{"--record", dir.filePath("gone/bus.txt")}
            << "The bus capture cannot be written to";
        QTest::newRow("password without broker")
            << demo + QStringList{"--mqtt-password-file", password} << "--mqtt-password-file needs --mqtt";
        QTest::newRow("id without broker")
            << demo + QStringList{"--mqtt-id", "x"} << "--mqtt-id needs --mqtt";
#ifdef VELMORA_WITH_MQTT
        QTest::newRow("broker scheme")
            << demo + QStringList{"--mqtt", "http://h"} << "--mqtt: the broker address must read";
        QTest::newRow("password in address")
            << demo + QStringList{"--mqtt", "mqtt://u:p@h"} << "must not hold the password";
        QTest::newRow("password without user")
            << demo + QStringList{"--mqtt", "mqtt://h", "--mqtt-password-file", password}
            << "needs a user name in the broker address";
        QTest::newRow("password file missing")
            << demo + QStringList{"--mqtt", "mqtt://u@h", "--mqtt-password-file", missing}
            << "does not exist";
        QTest::newRow("password file empty")
            << demo +
                   QStringList{"--mqtt", "mqtt://u@h", "--mqtt-password-file", dir.filePath("empty-password")}
            << "is empty";
        QTest::newRow("password file a folder")
            << demo + QStringList{"--mqtt", "mqtt://u@h", "--mqtt-password-file", logs}
            << "is not a small text file";
        QTest::newRow("ca on plain mqtt") << demo + QStringList{"--mqtt", "mqtt://h", "--mqtt-ca", aFile}
                                          << "--mqtt-ca applies to mqtts:// addresses only";
        QTest::newRow("ca missing") << demo + QStringList{"--mqtt", "mqtts://h", "--mqtt-ca", missing}
                                    << "does not exist";
        QTest::newRow("id with a slash") << demo + QStringList{"--mqtt", "mqtt://h", "--mqtt-id", "a/b"}
                                         << "--mqtt-id takes 1 to 64 letters";
#endif
    }
    void mistakesAreRefusedAtStartWithStatus2() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Finished run = runToEnd(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.stderrText.contains(message), qPrintable(run.stderrText));
        QVERIFY(run.stderrText.startsWith(QLatin1String("velmora-logger: ")));
        QVERIFY(QDir(dir.filePath(QStringLiteral("logs"))).isEmpty()); // nothing was started
    }

    void helpListsEveryOption() {
        const Finished run = [] {
            LoggerProcess logger(kLogger);
            logger.start({QStringLiteral("--help")});
            logger.process.waitForFinished(10000);
            return Finished{logger.process.exitCode(),
                            QString::fromLocal8Bit(logger.process.readAllStandardOutput())};
        }();
        QCOMPARE(run.exitCode, 0);
        for (const char* option : {"--port", "--device", "--demo", "--log-folder", "--record", "--mqtt ",
                                   "--mqtt-password-file", "--mqtt-ca", "--mqtt-id"})
            QVERIFY2(run.stderrText.contains(QLatin1String(option)), option);
    }

    void interruptOrTerminateEndsCleanlyWithStatus0_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }
    void interruptOrTerminateEndsCleanlyWithStatus0() {
        QFETCH(int, signalNumber);
        QTemporaryDir logs;
        LoggerProcess logger(kLogger);
        logger.start({QStringLiteral("--demo"), QStringLiteral("--log-folder"), logs.path()});
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs.path()).size() >= 2, 10000);
        // The signal comes early in a second, before that second's first log tick: held still
        // and let go 300 ms into a second, the logger ticks then and every 500 ms after, so
        // 100 ms into the next second its tick is still 200 ms away. The second under way
        // must reach the log all the same.
        logger.signal(SIGSTOP);
        QTest::qWait(1000 - QTime::currentTime().msec() + 300);
        logger.signal(SIGCONT);
        QTest::qWait(1000 - QTime::currentTime().msec() + 100);
        const QTime signalled = QTime::currentTime();
        logger.signal(signalNumber);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(logger.process.exitCode(), 0);
        QVERIFY2(logger.stderrText().contains(QStringLiteral("stopping (signal %1)").arg(signalNumber)),
                 qPrintable(logger.stderrText()));
        // Every line whole: time and six converter values, and the three HPU fields once it has answered.
        for (const QString& line : LoggerProcess::logLines(logs.path())) {
            const int fields = int(line.count(QLatin1Char(';')));
            QVERIFY2((fields == 7 || fields == 10) && line.endsWith(QLatin1Char(';')), qPrintable(line));
        }
        const QString last = LoggerProcess::logLines(logs.path()).last();
        const QTime lastLogged = QLocale().toTime(last.section(QLatin1Char(';'), 0, 0), CsvLog::timeFormat(QLocale()));
        QCOMPARE(lastLogged.toString(Qt::ISODate), signalled.toString(Qt::ISODate));
    }

    // The simulator counts every command it receives: the logger must send none. What the bus
    // carried is in the capture named by --record: received chunks only.
    void readsARealPortAndNeverSendsACommand() {
        QProcess sim;
        QByteArray simOutput;
        const QString device =
            startSimulator(sim, {QStringLiteral("--duration"), QStringLiteral("8")}, simOutput);
        QVERIFY2(!device.isEmpty(), simOutput.constData());

        QTemporaryDir logs;
        LoggerProcess logger(kLogger);
        const QString capture = QDir(logs.path()).filePath(QStringLiteral("bus.txt"));
        logger.start({QStringLiteral("--port"), device, QStringLiteral("--log-folder"), logs.path(),
                      QStringLiteral("--record"), capture});
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs.path()).size() >= 3, 10000);
        const QStringList lines = LoggerProcess::logLines(logs.path());
        QVERIFY2(carriesConverterValues(lines.last()), qPrintable(lines.last()));
        // The window's file, named after the adapter.
        QCOMPARE(QDir(logs.path()).entryList({QStringLiteral("*_LogOrvane_*")}, QDir::Files),
                 QStringList{CsvLog::fileName(QDateTime::currentDateTime(), device)});
        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 0);

        QVERIFY(sim.waitForFinished(15000));
        simOutput += sim.readAllStandardOutput();
        QVERIFY2(simOutput.contains("end of run, 0 commands received"), simOutput.constData());
        QFile recorded(capture);
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        const QList<QByteArray> captureLines = recorded.readAll().split('\n');
        QCOMPARE(captureLines.first(), QByteArray("# velmora capture 1"));
        QVERIFY2(captureLines.size() > 10, qPrintable(QString::number(captureLines.size())));
        for (int i = 1; i < captureLines.size(); ++i)
            QVERIFY2(captureLines[i].isEmpty() || captureLines[i].contains(" rx "),
                     captureLines[i].constData());
    }

    // The adapter pulled out and plugged back: a symbolic link is its stable name, pointed at a
    // new simulator's pseudo-terminal. The logger reopens it by itself, the log resumes, and
    // the journal beside the log tells the loss and the reconnection.
    void aPulledAdapterIsReopenedWhenItComesBack() {
        QTemporaryDir work;
        const QString link = work.filePath(QStringLiteral("ttyUSB-hydro"));
        QProcess firstSim;
        QByteArray simOutput;
        const QString firstDevice = startSimulator(firstSim, {}, simOutput);
        QVERIFY2(!firstDevice.isEmpty(), simOutput.constData());
        QVERIFY(QFile::link(firstDevice, link));
        const QString logs = work.filePath(QStringLiteral("logs"));
        QVERIFY(QDir().mkpath(logs));
        LoggerProcess logger(kLogger);
        logger.start({QStringLiteral("--port"), link, QStringLiteral("--log-folder"), logs});
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs).size() >= 1, 10000);

        firstSim.kill(); // pulled out
        QVERIFY(firstSim.waitForFinished(5000));
        QVERIFY(QFile::remove(link));
        QTRY_VERIFY_WITH_TIMEOUT(logger.stderrText().contains(QLatin1String("connection lost: ")), 5000);

        QProcess secondSim; // plugged back
        simOutput.clear();
        const QString secondDevice = startSimulator(secondSim, {}, simOutput);
        QVERIFY2(!secondDevice.isEmpty(), simOutput.constData());
        QVERIFY(QFile::link(secondDevice, link));
        QTRY_VERIFY_WITH_TIMEOUT(logger.stderrText().contains(QLatin1String("reconnected: ")), 10000);
        const int linesBack = int(LoggerProcess::logLines(logs).size());
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs).size() >= linesBack + 2, 10000);
        QTRY_VERIFY2_WITH_TIMEOUT(carriesConverterValues(LoggerProcess::logLines(logs).last()),
                                  qPrintable(LoggerProcess::logLines(logs).last()), 5000);

        const QStringList journals =
            QDir(logs).entryList({QStringLiteral("*_EventsOrvane_*.csv")}, QDir::Files);
        QCOMPARE(journals.size(), 1);
        QFile journal(QDir(logs).filePath(journals.first()));
        QVERIFY(journal.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString events = QString::fromUtf8(journal.readAll());
        QVERIFY2(events.contains(QLatin1String(";connected;")) &&
                     events.contains(QLatin1String(";connection lost;")) &&
                     events.contains(QLatin1String(";reconnected;")),
                 qPrintable(events));
        QCOMPARE(logger.process.state(), QProcess::Running);
        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 0);
        secondSim.kill();
        secondSim.waitForFinished(5000);
    }

    // Nobody is there to tick Log again: the logger tries the folder again by itself.
    void aLogFolderThatFailedIsTriedAgain() {
        QTemporaryDir parent;
        const QString logs = parent.filePath(QStringLiteral("logs"));
        QVERIFY(QDir().mkpath(logs));
        LoggerProcess logger(kLogger);
        logger.start({QStringLiteral("--demo"), QStringLiteral("--log-folder"), logs});
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs).size() >= 1, 10000);
        QVERIFY(QDir(logs).removeRecursively()); // the USB stick pulled out
        QTRY_VERIFY_WITH_TIMEOUT(logger.stderrText().contains(UserTexts::kLogFailure), 5000);
        QVERIFY(QDir().mkpath(logs)); // and put back
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs).size() >= 1, 15000);
        QCOMPARE(logger.stderrText().count(UserTexts::kLogFailure), 1);
        QCOMPARE(logger.process.state(), QProcess::Running);
        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 0);
    }

    // A service may start before its adapter, its port or its log folder is ready: the logger
    // says so once, keeps running, and logs as soon as it can.
    void startConditionsAreWaitedOut_data() {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("toldOnce");
        QTest::newRow("adapter absent") << "absent"
                                        << "is not there: waiting for it";
        QTest::newRow("port held by another program") << "held"
                                                      << "cannot be opened (held by another program";
        QTest::newRow("log folder missing") << "no folder"
                                            << "is missing or cannot be written yet";
    }
    void startConditionsAreWaitedOut() {
        QFETCH(QString, condition);
        QFETCH(QString, toldOnce);
        QTemporaryDir work;
        const QString link = work.filePath(QStringLiteral("ttyUSB-hydro"));
        const QString logs = work.filePath(QStringLiteral("logs"));
        QProcess sim;
        QByteArray simOutput;
        const QString device = startSimulator(sim, {}, simOutput);
        QVERIFY2(!device.isEmpty(), simOutput.constData());
        QtSerialPort holder; // another program that has the port open
        if (condition != QLatin1String("absent"))
            QVERIFY(QFile::link(device, link));
        if (condition == QLatin1String("held"))
            QVERIFY(holder.open({link, link}));
        if (condition != QLatin1String("no folder"))
            QVERIFY(QDir().mkpath(logs));

        LoggerProcess logger(kLogger);
        logger.start({QStringLiteral("--port"), link, QStringLiteral("--log-folder"), logs});
        QTRY_VERIFY2_WITH_TIMEOUT(logger.stderrText().contains(toldOnce), qPrintable(logger.stderrText()),
                                  5000);
        QTest::qWait(3000); // three more attempts
        QCOMPARE(logger.process.state(), QProcess::Running);
        QCOMPARE(logger.stderrText().count(toldOnce), 1);
        QVERIFY2(!logger.stderrText().contains(QLatin1String("The serial connection could not be opened")),
                 qPrintable(logger.stderrText()));

        if (condition == QLatin1String("absent"))
            QVERIFY(QFile::link(device, link)); // plugged in
        else if (condition == QLatin1String("held"))
            holder.close();
        else
            QVERIFY(QDir().mkpath(logs)); // the card mounted
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs).size() >= 2, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!LoggerProcess::logLines(logs).last().contains(QLatin1String(";-1")), 5000);
        QCOMPARE(logger.stderrText().count(toldOnce), 1);
        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 0);
        sim.kill();
        sim.waitForFinished(5000);
    }

    // Stopped while it waits for its device: a clean stop, nothing logged.
    void stopsCleanlyWhileWaiting_data() {
        QTest::addColumn<QStringList>("device");
        QTest::addColumn<QString>("told");
        QTest::newRow("--port") << QStringList{"--port", dir.filePath("missing")}
                                << dir.filePath("missing") + " is not there: waiting for it";
        QTest::newRow("--device") << QStringList{"--device", "no-such-adapter-xyz"}
                                  << "no serial device name contains \"no-such-adapter-xyz\" (present: ";
    }
    void stopsCleanlyWhileWaiting() {
        QFETCH(QStringList, device);
        QFETCH(QString, told);
        QTemporaryDir logs;
        LoggerProcess logger(kLogger);
        logger.start(device + QStringList{QStringLiteral("--log-folder"), logs.path()});
        QTRY_VERIFY2_WITH_TIMEOUT(logger.stderrText().contains(told), qPrintable(logger.stderrText()), 5000);
        QTest::qWait(1500);
        QCOMPARE(logger.process.state(), QProcess::Running);
        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(logger.process.exitCode(), 0);
        QCOMPARE(logger.stderrText().count(told), 1);
        QVERIFY(QDir(logs.path()).isEmpty());
    }

    // A wedged adapter: the port stays open and no byte comes (the simulator stopped, its
    // pseudo-terminal still there). After 10 s it is closed, reopened and journalled; the log
    // resumes when bytes flow again.
    void aSilentAdapterIsReopened() {
        QTemporaryDir logs;
        QProcess sim;
        QByteArray simOutput;
        const QString device = startSimulator(sim, {}, simOutput);
        QVERIFY2(!device.isEmpty(), simOutput.constData());
        LoggerProcess logger(kLogger);
        logger.start({QStringLiteral("--port"), device, QStringLiteral("--log-folder"), logs.path()});
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs.path()).size() >= 1, 10000);
        ::kill(pid_t(sim.processId()), SIGSTOP);
        QTRY_VERIFY_WITH_TIMEOUT(
            logger.stderrText().contains(QLatin1String("connection lost: no byte from ")), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(logger.stderrText().contains(QLatin1String("reconnected: ")), 3000);
        ::kill(pid_t(sim.processId()), SIGCONT);
        const int linesBack = int(LoggerProcess::logLines(logs.path()).size());
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs.path()).size() >= linesBack + 2, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!LoggerProcess::logLines(logs.path()).last().contains(QLatin1String(";-1")),
                                 5000);
        QCOMPARE(logger.stderrText().count(QLatin1String("connection lost: ")), 1);

        const QStringList journals =
            QDir(logs.path()).entryList({QStringLiteral("*_EventsOrvane_*.csv")}, QDir::Files);
        QCOMPARE(journals.size(), 1);
        QFile journal(QDir(logs.path()).filePath(journals.first()));
        QVERIFY(journal.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString events = QString::fromUtf8(journal.readAll());
        QVERIFY2(events.contains(QLatin1String(";connection lost;no byte from ")) &&
                     events.contains(QLatin1String(";reconnected;")),
                 qPrintable(events));
        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 0);
        sim.kill();
        sim.waitForFinished(5000);
    }

#ifdef VELMORA_WITH_SYSTEMD
    // The service manager's side of Type=notify: a datagram socket named by NOTIFY_SOCKET, and
    // a watchdog of one second. Ready while the adapter is still absent, alive at each log
    // tick, the status once it reads, stopping on SIGTERM.
    void tellsTheServiceManagerReadyAliveAndStopping() {
        QTemporaryDir work;
        const QByteArray socketPath = work.filePath(QStringLiteral("notify")).toLocal8Bit();
        const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QVERIFY(size_t(socketPath.size()) < sizeof(address.sun_path));
        std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
        QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
        QStringList notices;
        const auto receive = [&] {
            char buffer[512];
            ssize_t n;
            while ((n = ::recv(fd, buffer, sizeof(buffer), 0)) > 0)
                notices << QString::fromUtf8(buffer, int(n));
        };

        QProcess sim;
        QByteArray simOutput;
        const QString device = startSimulator(sim, {}, simOutput);
        QVERIFY2(!device.isEmpty(), simOutput.constData());
        const QString link = work.filePath(QStringLiteral("ttyUSB-hydro"));
        LoggerProcess logger(kLogger);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NOTIFY_SOCKET"), QString::fromLocal8Bit(socketPath));
        env.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("1000000"));
        logger.process.setProcessEnvironment(env);
        logger.start({QStringLiteral("--port"), link, QStringLiteral("--log-folder"), work.path()});
        QTRY_VERIFY_WITH_TIMEOUT((receive(), notices.size() >= 1), 5000);
        QCOMPARE(notices.first(), QStringLiteral("READY=1\nSTATUS=looking for ") + link);
        QTRY_VERIFY_WITH_TIMEOUT(
            (receive(), notices.contains(QStringLiteral("STATUS=%1 is not there: waiting for it").arg(link))),
            3000);
        QTest::qWait(3000);
        receive();
        const int alive = int(notices.count(QStringLiteral("WATCHDOG=1")));
        QVERIFY2(alive >= 4 && alive <= 8,
                 qPrintable(notices.join(QLatin1Char('|')))); // at each tick, twice a second

        QVERIFY(QFile::link(device, link));
        QTRY_VERIFY_WITH_TIMEOUT(
            (receive(),
             notices.contains(QStringLiteral("STATUS=reading %1, logging to %2").arg(link, work.path()))),
            5000);
        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 0);
        receive();
        QCOMPARE(notices.last(), QStringLiteral("STOPPING=1"));
        ::close(fd);
        sim.kill();
        sim.waitForFinished(5000);
    }
#endif

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestVelmoraLogger)
#include "tst_velmoralogger.moc"

// A field day at the turbine, scripted on the simulated installation with the real programs: a
// board without a real-time clock crosses midnight and then steps an hour ahead (libfaketime),
// the logger is killed (-9) and its last line torn as a power cut leaves it, then started
// again; the adapter is pulled out and plugged back; the broker restarts. Afterwards: every log
// file headed, no merged line, no second lost outside the outage of the killed logger, the
// state published again after the broker came back, memory flat.
//
// The pull lasts FIELD_DAY_PULL_SECONDS (15 unless set; `make field-day` pulls for a minute).
#include "LoggerProcess.h"
#include "MosquittoBroker.h"
#include "MqttSubscriber.h"
#include "ProcessUsage.h"
#include "SimulatorProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <map>

namespace {

const QString kLogger = QStringLiteral(VELMORA_LOGGER_PATH);
const QString kSim = QStringLiteral(VELMORA_SIM_PATH);
const QString kFakeTime = QStringLiteral(VELMORA_FAKETIME_LIB);
const QString kState = QStringLiteral("velmora/fieldday/state");

// The logger's wall clock: real time plus an offset the test sets through libfaketime's file,
// which the logger reads again every second. Its program clock is left alone, as a stepped
// system clock leaves the monotonic one.
class SteppedClock {
public:
    explicit SteppedClock(const QString& file)
        : file_(file) {}
    void setOffset(qint64 seconds) {
        offset_ = seconds;
        QFile f(file_);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(file_));
        f.write((seconds >= 0 ? "+" : "") + QByteArray::number(seconds) + '\n');
    }
    qint64 offset() const { return offset_; }
    QDateTime now() const { return QDateTime::currentDateTime().addSecs(offset_); }
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), kFakeTime);
        env.insert(QStringLiteral("FAKETIME_TIMESTAMP_FILE"), file_);
        env.insert(QStringLiteral("FAKETIME_CACHE_DURATION"), QStringLiteral("1"));
        env.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        return env;
    }

private:
    QString file_;
    qint64 offset_ = 0;
};

// A span of the logger's wall clock in which seconds may be missing from the log.
struct Outage {
    QDateTime from;
    QDateTime to;
    QString what;
};

struct LogFile {
    QString name;
    QDate day;
    QStringList lines; // all of them, headers included
};

QList<LogFile> logFiles(const QString& folder) {
    QList<LogFile> files;
    const QRegularExpression dayName(QStringLiteral("^(\\d{4})_(\\d\\d)_(\\d\\d)_LogOrvane_"));
    for (const QString& name :
         QDir(folder).entryList({QStringLiteral("*_LogOrvane_*.csv")}, QDir::Files, QDir::Name)) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const auto m = dayName.match(name);
        files.append({name, QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()),
                      QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)});
    }
    return files;
}

// A whole data line: its time, then the six converter values, and the three HPU fields once
// the HPU has answered, each ended by ";".
bool wholeLine(const QString& line) {
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    const int fields = int(line.count(QLatin1Char(';')));
    return (fields == 7 || fields == 10) && line.endsWith(QLatin1Char(';')) &&
           time.match(line.section(QLatin1Char(';'), 0, 0)).hasMatch();
}

// Tears the file's last line as a power cut does: its end is lost. Returns what stays of it.
QString tearLastLine(const QString& path, int bytesLost) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || file.size() <= bytesLost)
        return QString();
    const qint64 size = file.size() - bytesLost;
    file.resize(size);
    file.seek(0);
    const QByteArray content = file.read(size);
    return QString::fromUtf8(content.mid(content.lastIndexOf('\n') + 1));
}

qint64 residentBytes(const LoggerProcess& logger) {
    return processUsage(logger.process.processId()).residentBytes;
}

int pullSeconds() {
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("FIELD_DAY_PULL_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 15;
}

} // namespace

#define START_BROKER(broker) QVERIFY2((broker).start(), qPrintable((broker).error()))

class TestFieldDay : public QObject {
    Q_OBJECT
private slots:
    void aFieldDay() {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString logs = work.filePath(QStringLiteral("logs"));
        QVERIFY(QDir().mkpath(logs));
        const QString link = work.filePath(QStringLiteral("ttyUSB-turbine")); // its stable name
        SteppedClock clock(work.filePath(QStringLiteral("faketime")));
        QList<Outage> outages;

        MosquittoBroker broker;
        START_BROKER(broker);
        auto sim = std::make_unique<SimulatorProcess>(kSim);
        QVERIFY2(!sim->devicePath.isEmpty(), qPrintable(sim->output));
        QVERIFY(QFile::link(sim->devicePath, link));

        // Twelve seconds before midnight by the board's clock.
        const QDateTime realNow = QDateTime::currentDateTime();
        clock.setOffset(realNow.secsTo(QDateTime(realNow.date().addDays(1), QTime(0, 0))) - 12);
        const QStringList arguments{"--port", link,         "--log-folder", logs,
                                    "--mqtt", broker.url(), "--mqtt-id",    "fieldday"};
        auto logger = std::make_unique<LoggerProcess>(kLogger);
        logger->process.setProcessEnvironment(clock.environment());
        logger->start(arguments);
        QTRY_VERIFY2_WITH_TIMEOUT(logger->stderrText().contains(QLatin1String("reading ")),
                                  qPrintable(logger->stderrText()), 10000);

        // Midnight passes: a new day's file.
        QTRY_VERIFY_WITH_TIMEOUT(logFiles(logs).size() == 2 && logFiles(logs).last().lines.size() >= 5,
                                 30000);

        // The clock is set: an hour ahead at once.
        const QDateTime beforeStep = clock.now();
        clock.setOffset(clock.offset() + 3600);
        outages.append({beforeStep.addSecs(-2), clock.now().addSecs(3), QStringLiteral("clock step")});
        QTest::qWait(8000);

        // Power cut: killed mid-run, the last line of today's file torn; started again.
        const QDateTime killed = clock.now();
        logger->process.kill();
        QVERIFY(logger->process.waitForFinished(5000));
        const QString today = QDir(logs).filePath(logFiles(logs).last().name);
        const QString torn = tearLastLine(today, 5);
        QVERIFY(!torn.isEmpty());
        QTest::qWait(1500);
        logger = std::make_unique<LoggerProcess>(kLogger);
        logger->process.setProcessEnvironment(clock.environment());
        logger->start(arguments);
        const int linesBefore = int(logFiles(logs).last().lines.size());
        QTRY_VERIFY_WITH_TIMEOUT(logFiles(logs).last().lines.size() >= linesBefore + 2, 15000);
        outages.append({killed.addSecs(-2), clock.now().addSecs(1), QStringLiteral("kill -9 and restart")});
        QTest::qWait(4000);
        const qint64 memoryAfterRestart = residentBytes(*logger);

        // The adapter pulled out for a while, then plugged back: the logger writes on (values
        // unknown), reopens it by its name and reads values again.
        sim.reset();
        QVERIFY(QFile::remove(link));
        QTRY_VERIFY_WITH_TIMEOUT(logger->stderrText().contains(QLatin1String("connection lost: ")), 5000);
        QTest::qWait(pullSeconds() * 1000);
        sim = std::make_unique<SimulatorProcess>(kSim);
        QVERIFY2(!sim->devicePath.isEmpty(), qPrintable(sim->output));
        QVERIFY(QFile::link(sim->devicePath, link));
        QTRY_VERIFY_WITH_TIMEOUT(logger->stderrText().contains(QLatin1String("reconnected: ")), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!LoggerProcess::logLines(logs).last().contains(QLatin1String(";-1")), 10000);

        // The broker restarts; the newest state is published again and a late subscriber gets it.
        broker.stop();
        QTest::qWait(3000);
        START_BROKER(broker);
        const QDateTime brokerBack = clock.now();
        MqttSubscriber subscriber;
        QString error;
        QVERIFY2(subscriber.connectTo(broker.port(), {kState}, &error), qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(
            QDateTime::fromString(
                QJsonDocument::fromJson(subscriber.last(kState)).object().value("time").toString(),
                Qt::ISODate) >= brokerBack.addSecs(-1),
            20000);
        QTest::qWait(5000);
        const qint64 memoryAtEnd = residentBytes(*logger);
        QCOMPARE(logger->process.state(), QProcess::Running);
        logger->signal(SIGTERM);
        QVERIFY(logger->process.waitForFinished(10000));
        QCOMPARE(logger->process.exitCode(), 0);

        // Every file headed; every line whole but the torn one; each second once.
        const QList<LogFile> files = logFiles(logs);
        QCOMPARE(files.size(), 2);
        QStringList merged;
        std::map<QDateTime, int> seconds;
        for (const LogFile& file : files) {
            QVERIFY2(file.lines.size() > 2 && file.lines[0] == QLatin1String("LOG ORVANE") &&
                         file.lines[1].startsWith(QLatin1String("  time  ;")),
                     qPrintable(file.name));
            for (const QString& line : file.lines.mid(2)) {
                if (line == torn)
                    continue; // what the power cut left of the last line: alone on its line
                if (!wholeLine(line)) {
                    merged << line;
                    continue;
                }
                ++seconds[QDateTime(file.day, QTime::fromString(line.left(8), QStringLiteral("HH:mm:ss")))];
            }
        }
        QVERIFY2(merged.isEmpty(), qPrintable(merged.join(QLatin1Char('\n'))));

        QStringList lost;
        QDateTime previous;
        qint64 longestGap = 0;
        for (const auto& [second, count] : seconds) {
            if (previous.isValid())
                longestGap = qMax(longestGap, previous.secsTo(second));
            if (count > 1)
                lost << second.toString(Qt::ISODate) + QStringLiteral(" logged %1 times").arg(count);
            if (previous.isValid() && previous.secsTo(second) > 1) {
                bool explained = false;
                for (const Outage& outage : outages)
                    explained = explained || (previous >= outage.from && second <= outage.to);
                if (!explained)
                    lost << QStringLiteral("%1 to %2 missing")
                                .arg(previous.addSecs(1).toString(Qt::ISODate),
                                     second.addSecs(-1).toString(Qt::ISODate));
            }
            previous = second;
        }
        QVERIFY2(lost.isEmpty(), qPrintable(lost.join(QLatin1Char('\n'))));
        // Both days and both sides of the step are there, and the pull was logged through with
        // its values unknown.
        QVERIFY(seconds.size() > size_t(30 + pullSeconds()));
        QCOMPARE(seconds.begin()->first.date().addDays(1), std::prev(seconds.end())->first.date());
        QVERIFY2(longestGap >= 3600 - 5 && longestGap <= 3600 + 5, qPrintable(QString::number(longestGap)));
        int unknownSeconds = 0;
        for (const QString& line : LoggerProcess::logLines(logs))
            unknownSeconds += line.section(QLatin1Char(';'), 1, 1).toDouble() == -1.0 ? 1 : 0; // U_in
        QVERIFY2(unknownSeconds >= pullSeconds() - 4, qPrintable(QString::number(unknownSeconds)));

        qInfo("resident memory of the restarted logger: %lld kB after its start, %lld kB at the end",
              memoryAfterRestart / 1024, memoryAtEnd / 1024);
        QVERIFY(memoryAfterRestart > 0 && memoryAtEnd > 0);
        QVERIFY2(memoryAtEnd - memoryAfterRestart < 2 * 1024 * 1024, "memory grew by more than 2 MiB");
    }
};

QTEST_GUILESS_MAIN(TestFieldDay)
#include "tst_fieldday.moc"

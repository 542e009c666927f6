// velmora-logger run as a program through what a board at the turbine meets: the power cut
// (kill -9, then the day's files emptied or torn as the card kept them), a wall clock set from
// the network years after boot (libfaketime), and a restart that finds the capture of the crash.
#include "FakeTime.h"
#include "LoggerProcess.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QString kLogger = QStringLiteral(VELMORA_LOGGER_PATH);

QStringList filesOf(const QString& folder, const QString& kind) {
    return QDir(folder).entryList({QStringLiteral("*_") + kind + QStringLiteral("_*.csv")}, QDir::Files,
                                  QDir::Name);
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file of the kind headed, every line whole and alone: one time (or date) per line.
void expectWholeHeadedFiles(const QString& folder, const QString& kind, const QByteArray& firstLine,
                            const QRegularExpression& stamp) {
    const QStringList files = filesOf(folder, kind);
    QVERIFY2(!files.isEmpty(), qPrintable(kind));
    for (const QString& name : files) {
        const QByteArray content = contentOf(QDir(folder).filePath(name));
        QVERIFY2(content.startsWith(firstLine + '\n'), content.left(200).constData());
        QVERIFY2(content.endsWith('\n'), name.toUtf8().constData());
        const QStringList lines = QString::fromUtf8(content).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& line : lines.mid(2)) {
            const qsizetype stamps = line.count(stamp);
            QVERIFY2(stamps <= 1, qPrintable(name + QStringLiteral(": ") + line));
        }
    }
}

void stop(LoggerProcess& logger) {
    logger.signal(SIGTERM);
    QVERIFY(logger.process.waitForFinished(10000));
    QCOMPARE(logger.process.exitCode(), 0);
}

} // namespace

class TestLoggerFiles : public QObject {
    Q_OBJECT
private slots:
    // The logger killed mid-run, the day's files left as the power cut left them, and started
    // again: every file headed, no line joined to another, the new lines after the old.
    void powerCutThenRestart_data() {
        QTest::addColumn<QString>("cut");
        QTest::newRow("killed only") << "none";
        QTest::newRow("files left empty") << "empty";
        QTest::newRow("last lines torn") << "torn";
    }
    void powerCutThenRestart() {
        QFETCH(QString, cut);
        QTemporaryDir logs;
        const QStringList arguments{QStringLiteral("--demo"), QStringLiteral("--log-folder"), logs.path()};
        {
            LoggerProcess logger(kLogger);
            logger.start(arguments);
            QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs.path()).size() >= 3, 15000);
            logger.process.kill();
            QVERIFY(logger.process.waitForFinished(5000));
        }
        int before = 0;
        for (const QString& kind : {QStringLiteral("LogOrvane"), QStringLiteral("EventsOrvane")}) {
            for (const QString& name : filesOf(logs.path(), kind)) {
                QFile file(logs.filePath(name));
                if (cut == "empty")
                    QVERIFY(file.resize(0));
                else if (cut == "torn")
                    QVERIFY(file.resize(file.size() - 6));
            }
        }
        if (cut != "empty")
            before = int(LoggerProcess::logLines(logs.path()).size());

        LoggerProcess logger(kLogger);
        logger.start(arguments);
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs.path()).size() >= before + 3, 15000);
        stop(logger);

        expectWholeHeadedFiles(logs.path(), QStringLiteral("LogOrvane"), "LOG ORVANE",
                               QRegularExpression(QStringLiteral("\\d\\d:\\d\\d:\\d\\d;")));
        expectWholeHeadedFiles(logs.path(), QStringLiteral("EventsOrvane"), "EVENTS ORVANE",
                               QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\d;")));
        if (cut == "torn") {
            // The torn line stays, short and ended; every line after it is whole.
            const QStringList lines = LoggerProcess::logLines(logs.path());
            int shortLines = 0;
            for (const QString& line : lines) {
                const int fields = int(line.count(QLatin1Char(';')));
                if (!(line.endsWith(QLatin1Char(';')) && (fields == 7 || fields == 10)))
                    ++shortLines;
            }
            QCOMPARE(shortLines, 1);
        }
    }

    // The board boots in 2021 and its clock is set from the network a few seconds later: the
    // step is said on stderr and journalled, and both days' files are headed.
    void wallClockSetFromTheNetworkAfterBoot() {
        if (FakeTime::library().isEmpty())
            QSKIP("libfaketime is not installed (Debian: faketime)");
        QTemporaryDir logs;
        QTemporaryDir clock;
        const QString clockFile = clock.filePath(QStringLiteral("faketime"));
        {
            QFile file(clockFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("@2021-03-14 10:00:00\n");
        }
        LoggerProcess logger(kLogger);
        QProcessEnvironment environment = FakeTime::environment(clockFile);
        environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        logger.process.setProcessEnvironment(environment);
        logger.start({QStringLiteral("--demo"), QStringLiteral("--log-folder"), logs.path()});
        QTRY_VERIFY_WITH_TIMEOUT(filesOf(logs.path(), QStringLiteral("LogOrvane")).size() == 1 &&
                                     LoggerProcess::logLines(logs.path()).size() >= 2,
                                 15000);
        QVERIFY2(filesOf(logs.path(), QStringLiteral("LogOrvane")).first().startsWith(QStringLiteral("2021_03_14_")),
                 qPrintable(filesOf(logs.path(), QStringLiteral("LogOrvane")).join(',')));
        {
            QFile file(clockFile);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("+0\n"); // the time daemon has set the clock
        }
        QTRY_VERIFY_WITH_TIMEOUT(logger.stderrText().contains(QStringLiteral("clock stepped: from 2021-03-14 10:00:")),
                                 10000);
        QTRY_VERIFY_WITH_TIMEOUT(filesOf(logs.path(), QStringLiteral("LogOrvane")).size() == 2, 10000);
        stop(logger);

        const QString today = QDateTime::currentDateTimeUtc().date().toString(QStringLiteral("yyyy_MM_dd"));
        const QByteArray journal = contentOf(logs.filePath(today + QStringLiteral("_EventsOrvane_allation.csv")));
        QVERIFY2(journal.contains(";clock stepped;from 2021-03-14 10:00:"), journal.constData());
        QVERIFY2(QRegularExpression(QStringLiteral("to \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\+00:00 \\(forward \\d+ s\\)"))
                     .match(QString::fromUtf8(journal))
                     .hasMatch(),
                 journal.constData());
        expectWholeHeadedFiles(logs.path(), QStringLiteral("LogOrvane"), "LOG ORVANE",
                               QRegularExpression(QStringLiteral("\\d\\d:\\d\\d:\\d\\d;")));
    }

    // --record after a crash: the crash's capture is kept as it was, the new one goes beside it.
    void recordKeepsTheCaptureOfACrash() {
        QTemporaryDir dir;
        const QString capture = dir.filePath(QStringLiteral("bus.txt"));
        const QStringList arguments{QStringLiteral("--demo"), QStringLiteral("--log-folder"), dir.path(),
                                    QStringLiteral("--record"), capture};
        QByteArray crashed;
        {
            LoggerProcess logger(kLogger);
            logger.start(arguments);
            QTRY_VERIFY_WITH_TIMEOUT(contentOf(capture).count('\n') >= 3, 15000);
            logger.process.kill();
            QVERIFY(logger.process.waitForFinished(5000));
            crashed = contentOf(capture);
        }
        LoggerProcess logger(kLogger);
        logger.start(arguments);
        const QString beside = dir.filePath(QStringLiteral("bus-2.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(contentOf(beside).count('\n') >= 3, 15000);
        stop(logger);
        QVERIFY2(logger.stderrText().contains(QStringLiteral("recording to ") + beside), qPrintable(logger.stderrText()));
        QCOMPARE(contentOf(capture), crashed);
        QVERIFY(contentOf(beside).startsWith("# velmora capture 1\n"));
    }
};

QTEST_GUILESS_MAIN(TestLoggerFiles)
#include "tst_loggerfiles.moc"

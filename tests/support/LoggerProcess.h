#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <csignal>

// velmora-logger run as a program by a test: its stderr collected, its CSV log read back.
class LoggerProcess {
public:
    explicit LoggerProcess(QString program)
        : program_(std::move(program)) {
        QObject::connect(&process, &QProcess::readyReadStandardError,
                         [this] { errors += process.readAllStandardError(); });
    }
    ~LoggerProcess() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    void start(const QStringList& arguments) {
        process.start(program_, arguments);
        process.waitForStarted(5000);
    }
    QString stderrText() {
        errors += process.readAllStandardError();
        return QString::fromLocal8Bit(errors);
    }
    void signal(int signalNumber) { ::kill(pid_t(process.processId()), signalNumber); }

    // The data lines of every CSV log in folder (the two header lines left out).
    static QStringList logLines(const QString& folder) { return linesAfterHeader(folder, QStringLiteral("LogOrvane")); }

    // The "event;detail" of every line of the event journals in folder.
    static QStringList journalEvents(const QString& folder) {
        QStringList events;
        for (const QString& line : linesAfterHeader(folder, QStringLiteral("EventsOrvane")))
            events << line.section(QLatin1Char(';'), 2);
        return events;
    }

    QProcess process;
    QByteArray errors;

private:
    // The lines below the two header lines of every day file of this kind in folder.
    static QStringList linesAfterHeader(const QString& folder, const QString& kind) {
        QStringList lines;
        const QStringList files =
            QDir(folder).entryList({QStringLiteral("*_%1_*.csv").arg(kind)}, QDir::Files, QDir::Name);
        for (const QString& name : files) {
            QFile file(QDir(folder).filePath(name));
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
                continue;
            const QStringList all =
                QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            lines += all.mid(2);
        }
        return lines;
    }

    QString program_;
};

#pragma once

// A live run of the demo installation with its bus recorded, for comparing a replay with it:
// the capture file, and the CSV data line (time column aside) of the values the monitor held
// after every reception tick, so that any line a replay logs can be found among them.
#include "ManualTimeline.h"
#include "TestPlatform.h"
#include "datalog/CsvLog.h"
#include "datalog/LogFolderSetting.h"
#include "monitor/BusRecorder.h"
#include "sim/DemoDevice.h"

#include <QDir>
#include <QFile>
#include <QLocale>

// The data lines of every CSV log in the folder, time column aside.
inline QStringList csvDataLines(const QString& folder) {
    QStringList lines;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*_LogOrvane_*.csv")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> all = file.readAll().split('\n');
        for (int i = 2; i < all.size(); ++i) // after "LOG ORVANE" and the title line
            if (!all[i].isEmpty())
                lines.append(QString::fromUtf8(all[i].mid(all[i].indexOf(';')).trimmed()));
    }
    return lines;
}

// Where in whole the lines of part end when every one of them appears there, in the same
// order (the index after the last one found); -1 when they do not.
inline int orderedMatchEnd(const QStringList& part, const QStringList& whole) {
    int at = 0;
    for (const QString& line : part) {
        while (at < whole.size() && whole[at] != line)
            ++at;
        if (at == whole.size())
            return -1;
        ++at;
    }
    return at;
}

inline bool isOrderedSubsequence(const QStringList& part, const QStringList& whole) {
    return orderedMatchEnd(part, whole) >= 0;
}

// Points the monitor's CSV log at the folder, as the preferences window saves a choice.
inline void logInto(TestPlatform& doubles, const QString& folder) {
    QDir().mkpath(folder);
    QDir().mkpath(doubles.resources.path());
    QFile file(doubles.resources.filePath(QStringLiteral("Log_Folder.txt")));
    if (file.open(QIODevice::WriteOnly))
        file.write(QDir::toNativeSeparators(folder).toUtf8() + '\n');
}

struct RecordedRun {
    QStringList stateLines; // after every reception tick that changed the line, time aside
    QStringList csvLines;   // what the live run logged, time aside
};

inline RecordedRun recordDemoRun(const QString& capturePath, const QString& logFolder, int seconds) {
    RecordedRun run;
    TestPlatform doubles;
    logInto(doubles, logFolder);
    DemoPlatform demo(doubles.platform());
    Monitor monitor(demo.platform());
    BusRecorder recorder(monitor, doubles.notifier);
    LogFolderSetting folder(doubles.resources, doubles.userFolders);
    MonitorState shown; // the monitor's record as of the last change, for the log's line
    const CsvLog lines(shown, doubles.timeline, doubles.notifier, folder);
    QObject::connect(&monitor, &Monitor::changed, [&] {
        if (!monitor.state().presenceHPU && monitor.state().U_in == 0)
            return; // nothing decoded yet
        shown = monitor.state();
        const QString line = QString::fromUtf8(lines.dataLine(QString(), QLocale()).trimmed());
        if (run.stateLines.isEmpty() || run.stateLines.last() != line)
            run.stateLines.append(line);
    });
    doubles.timeline.advance(500); // the device list is filled; the demo installation is last
    recorder.start(capturePath);
    monitor.ConnectButton_Action();
    doubles.timeline.advance(qint64(seconds) * 1000);
    monitor.ConnectButton_Action();
    recorder.stop();
    run.csvLines = csvDataLines(logFolder);
    return run;
}

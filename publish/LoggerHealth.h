#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <optional>

// The logger's own health, as it is published for someone far away: is the log written, is the
// adapter there, are the devices heard, did the clock jump. Unknown figures are empty.
struct LoggerHealth {
    struct ClockStep {
        QDateTime from; // the wall clock as it should have read
        QDateTime to;   // what it read
        qint64 seconds() const { return from.secsTo(to); }
    };

    QDateTime time;
    bool logWriting = true;
    QString logProblem; // the last failure, empty while writing
    bool adapterConnected = false;
    double converterFramesPerSecond = 0.0;
    quint64 checksumErrors = 0;                   // since the adapter was opened
    std::optional<qint64> converterSilentSeconds; // empty until heard
    std::optional<qint64> hpuSilentSeconds;
    std::optional<ClockStep> lastClockStep; // empty while the clock has not jumped
};

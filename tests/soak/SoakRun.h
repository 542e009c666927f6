#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

// A long run of the whole monitor against the simulated installation on a noisy line, on a
// manual timeline whose wall clock moves with the program clock: hours of bus traffic with
// junk, stray bytes, bad checksums and silent devices, a pump or EEPROM request every
// simulated minute, and the CSV log on into a temporary folder. It checks what a day of
// running must not do: grow in memory, miss or double a log line, tell the user of a
// failure, stop decoding.
struct SoakSettings {
    int simulatedHours = 1;
    double lineFaultRate = 0.02; // share of frames damaged or lost
    quint32 seed = 1;
    int warmUpHours = 1;                // memory growth is measured from the end of this hour
    qint64 memoryGrowthBound = 2 << 20; // bytes over the whole run after warm-up
    QDateTime wallStart{QDate(2026, 3, 14), QTime(10, 0)}; // local time at the start of the run
};

struct SoakReport {
    QString failure; // empty when every check held
    qint64 simulatedSeconds = 0;
    qint64 logLines = 0;                  // data lines in the CSV files
    int logFiles = 0;                     // one per calendar day
    qint64 wallMs = 0;                    // how long the run took
    QVector<qint64> residentBytesPerHour; // sampled at the end of each simulated hour
    bool residentIsCurrent = true;        // false where only the peak can be read
    qint64 converterFramesDecoded = 0;
    qint64 faultsInjected = 0;
    qint64 commandsBuilt = 0;
    qint64 commandsHeard = 0;  // by the simulated HPU, checksum correct
    qint64 memoryGrowth = 0;   // bytes, from the end of warm-up to the end
    bool memoryChecked = true; // false under AddressSanitizer, whose quarantine keeps freed memory

    QString summary() const;
};

SoakReport runSoak(const SoakSettings& settings);

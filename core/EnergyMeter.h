#pragma once

#include <QString>

#include <optional>

// The energy the turbine made: the output power integrated one second at a time, over the
// seconds it is known (an unknown or negative power adds nothing), kept across restarts in a
// small text file beside the logs.
//
// The file is replaced whole (written aside, flushed, renamed), once a minute while the total
// grows: a power cut loses at most the last minute, and an SD card sees 1440 small writes a
// day. A copy is made at start and every hour. A file found empty or unreadable (a card that
// lost its last write) is kept aside as ".damaged" and the total goes on from the copy; the
// caller is told, never left to find a total silently back at 0.
class EnergyMeter {
public:
    static constexpr int kSavePeriodSeconds = 60;
    static constexpr int kCopyPeriodSeconds = 3600;

    explicit EnergyMeter(QString filePath);

    // "velmora-energy-<key>.txt", one file per installation.
    static QString fileNameFor(const QString& installationKey);

    const QString& filePath() const { return path_; }
    QString copyPath() const { return path_ + QStringLiteral(".copy"); }
    QString damagedPath() const { return path_ + QStringLiteral(".damaged"); }

    // Reads the saved total. What the user should be told, empty when all went well. Until a
    // load has succeeded (the log folder is not there yet) the total is not known, the seconds
    // are still counted, and each save tries the load again first.
    QString load();
    bool isLoaded() const { return loaded_; }

    // One second of output power. Saves when due; a problem to tell, empty when none.
    QString addSecond(std::optional<double> powerWatts);
    // Saves now (when stopping); a problem to tell, empty when none.
    QString save();

    // kWh; empty while the saved total is not known.
    std::optional<double> totalKwh() const;

private:
    struct Reading {
        bool present = false; // the file exists
        bool good = false;    // and holds a total
        double wattSeconds = 0.0;
        QString savedAt;
        QString problem;
    };
    static Reading read(const QString& path);
    QString write(const QString& path) const;

    QString path_;
    double wattSeconds_ = 0.0;
    double savedWattSeconds_ = -1.0;
    qint64 seconds_ = 0;
    bool loaded_ = false;
};

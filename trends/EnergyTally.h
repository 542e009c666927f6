#pragma once

#include "trends/TrendPoint.h"

#include <QDate>
#include <QMap>
#include <QString>

#include <optional>
#include <vector>

// The energy of one day: the output power of each second it was known, times one second.
struct DayEnergy {
    double joules = 0;    // watt-seconds
    int knownSeconds = 0; // the seconds whose power was known
    double kWh() const { return joules / 3.6e6; }
};

// Adds up the energy made, day by day (local dates), one second at a time: a second counts
// once, with its output power when that was known. A second whose power was not known (a
// silent converter, a gap in the log, a damaged line) adds nothing, and a second met again
// (the clock set back, a log and the live seconds covering the same time) is not counted
// twice: the first known reading stands. A negative reading, the converter drawing rather
// than making, counts as a known second that made nothing.
class EnergyTally {
public:
    // False when the second added nothing: its power not known, or the second already counted.
    bool add(const TrendPoint& point);
    // Empty when no second of that day had its power known: the energy is not known, not 0.
    std::optional<DayEnergy> day(const QDate& date) const;
    // Over the days from first to last, both included; empty when none of them is known.
    std::optional<DayEnergy> total(const QDate& first, const QDate& last) const;

private:
    struct Day {
        qint64 startMs = 0; // local midnight
        DayEnergy energy;
        std::vector<bool> counted; // one flag a second from midnight (25 hours on a clock change)
    };
    Day& dayOf(qint64 timeMs, int& second);
    bool addAt(Day& day, int second, double watts);

    QMap<QDate, Day> days_;
    // The day of the last point: a day's points come one after the other.
    QDate lastDate_;
    qint64 lastStartMs_ = 0;
    qint64 lastEndMs_ = 0;
};

// The daily totals of a month as a CSV file: "date;energy [kWh];measured [s]", one line for
// each day of the month, the energy empty where it is not known. English titles and point
// decimals in every language, as the trends' export. The file appears whole or not at all;
// false when it could not be written.
bool writeDailyEnergyCsv(const QString& path, const EnergyTally& tally, const QDate& month);

#pragma once

#include <QDate>
#include <QString>

// What a log's name tells: "2026_03_14_LogOrvane_FT4ABCDE.csv" is the 14 March 2026 file
// of the adapter whose name ends in "FT4ABCDE".
struct LogFileName {
    QDate date;      // invalid when the name is not one the tool writes
    QString adapter; // the last 8 characters of the adapter's name

    static LogFileName parse(const QString& fileName);
    bool isValid() const { return date.isValid(); }
};

// The log of the same adapter in the same folder that comes before (step -1) or after
// (step +1) the given one by date, skipping days without a file; empty when there is none.
QString neighbouringLog(const QString& path, int step);

// The adapter of the most recent log in the folder (by the date in its name); empty when the
// folder holds none.
QString newestLogAdapter(const QString& folder);

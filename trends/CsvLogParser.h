#pragma once

#include "trends/TrendPoint.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QHash>
#include <QString>
#include <QVector>

// Reads the CSV data log the tool writes, fed in chunks of any size: "LOG ORVANE", the title
// line (with or without the HPU titles), then one line a second of seven or ten fields, each
// followed by ";". It reads what any locale wrote: a decimal point or comma (or any other
// single separator), 12- and 24-hour times ("14:03:27", "2:03:27 PM", "下午2:03:27"), and
// data lines with and without the HPU columns whatever the title line said. A -1 marks a
// silent device and reads as not known. A line that is cut short or does not parse is
// skipped and counted; repeated headers (logs joined end to end) are passed over, and a
// time of day that falls back by hours starts the next day.
class CsvLogParser {
public:
    enum class Refusal { None, Binary, NotLog };

    // day: the date of the file (from its name), the date of its first line.
    explicit CsvLogParser(QDate day);

    // Appends the points of the complete lines in bytes to out. Does nothing once refused.
    void feed(QByteArrayView bytes, QVector<TrendPoint>& out);
    // The last line, when the file does not end with a line end.
    void finish(QVector<TrendPoint>& out);

    Refusal refusal() const { return refusal_; }
    int skippedLines() const { return skipped_; }
    bool hpuTitles() const { return hpuTitles_; }

    // A time-of-day field as ms since midnight, -1 when it does not read as one.
    static int parseTimeOfDay(QByteArrayView field);
    // A number written with a number mask and any decimal separator; false when it is not one.
    static bool parseNumber(QByteArrayView field, double& value);

private:
    void checkStart();
    void line(QByteArrayView text, QVector<TrendPoint>& out);
    bool dataLine(QByteArrayView text, TrendPoint& point);
    qint64 epochMs(int msOfDay);

    QDate day_;
    QByteArray pending_;
    bool started_ = false;
    Refusal refusal_ = Refusal::None;
    int skipped_ = 0;
    bool hpuTitles_ = false;
    int lastMsOfDay_ = -1;
    int dayOffset_ = 0;
    qint64 hourStart_[24];
    int hourStartDay_ = -1;
};

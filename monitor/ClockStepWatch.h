#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// The wall clock can be stepped under a running program: a board without a real-time clock
// boots in the past and sets the time from the network later, an administrator corrects it.
// The monotonic clock is never stepped, so each check compares how far the wall clock moved with
// how far the monotonic clock moved since the previous check. Slow corrections (a time daemon
// slewing the clock) stay far below the tolerance between two checks; a change of the local
// time zone or daylight saving time is not a step (the comparison is in UTC).
class ClockStepWatch {
public:
    static constexpr qint64 kToleranceMs = 2000; // a step of exactly 2 s is not reported

    struct Step {
        QDateTime expected; // what the wall clock would show without the step
        QDateTime shown;    // what it shows
        // "from 2021-03-14 10:00:03 +01:00 to 2026-12-11 12:00:00 +01:00 (forward 181274397 s)"
        QString describe() const;
    };

    // The step since the previous check, if the wall clock moved more than kToleranceMs more or
    // less than the monotonic clock. The first check only takes the clocks' positions.
    std::optional<Step> check(qint64 monotonicMs, const QDateTime& wallNow);

private:
    bool started_ = false;
    qint64 lastMonotonicMs_ = 0;
    QDateTime lastWall_;
};

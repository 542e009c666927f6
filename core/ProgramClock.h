#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// Milliseconds since program start: a monotonic microsecond count divided by 1000, truncated.
// It stamps timeLastDataCV / timeLastDataHPU and times the stale-data check.
class ProgramClock {
public:
    virtual ~ProgramClock() = default;
    virtual qint64 elapsedMs() const = 0;
    // The same count in microseconds, for what must keep the line's own timing (a capture).
    virtual qint64 elapsedUs() const { return elapsedMs() * 1000; }
};

// Local date and time, for the CSV log's file name and time column.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual QDateTime now() const = 0;
};

class SystemProgramClock : public ProgramClock {
public:
    SystemProgramClock() { started_.start(); }
    qint64 elapsedMs() const override { return (started_.nsecsElapsed() / 1000) / 1000; }
    qint64 elapsedUs() const override { return started_.nsecsElapsed() / 1000; }

private:
    QElapsedTimer started_;
};

class SystemWallClock : public WallClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

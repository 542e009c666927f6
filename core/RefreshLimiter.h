#pragma once

#include <QObject>

#include <functional>

class ProgramClock;
class Timer;
class TimerFactory;

// Bounds how often the window copies the monitor onto its controls. A busy line brings a
// frame every few milliseconds, each changing a label or two; painting after every one of
// them costs more than everything else the tool does. The first change after a quiet period
// is shown at once; changes that follow within the period are collected and shown together
// when it ends, so a value is never more than one period late and never lost.
class RefreshLimiter : public QObject {
    Q_OBJECT
public:
    // 10 refreshes a second at most: as often as a person reads a changing number, and half
    // the repaints and wake-ups of a busy line at 20.
    static constexpr int kPeriodMs = 100;

    RefreshLimiter(const ProgramClock& clock, TimerFactory& timers, std::function<void()> refresh,
                   QObject* parent = nullptr);

    // Something changed: refresh now, or at the end of the current period.
    void request();
    // Refresh at once, unconditionally; a new period starts.
    void refreshNow();
    // Show a collected change at once (the user's own action must show without delay). A
    // change the request already showed, or no change at all, costs nothing.
    void flush();
    bool isPending() const;

private:
    const ProgramClock& clock_;
    Timer* timer_;
    std::function<void()> refresh_;
    qint64 lastRefreshMs_;
};

#pragma once

#include "core/ProgramClock.h"
#include "core/Timer.h"

#include <QVector>

#include <functional>

class ManualTimeline;

// A timer whose countdown runs on a ManualTimeline instead of the event loop.
class ManualTimer : public Timer {
    Q_OBJECT
public:
    ManualTimer(ManualTimeline& timeline, int periodMs, QObject* parent);
    ~ManualTimer() override;

    Mode mode() const override { return mode_; }
    void setMode(Mode mode) override;
    int period() const override { return period_; }
    void setPeriod(int ms) override;
    void restart() override;

    qint64 dueAt() const { return dueAt_; }

private:
    friend class ManualTimeline;
    void fire();

    ManualTimeline& timeline_;
    Mode mode_ = Off;
    int period_;
    qint64 dueAt_ = 0;
    quint64 armedOrder_ = 0; // ties broken by arming order
};

// Program clock, wall clock and timer factory driven by the test: advance(ms) moves time
// forward and fires every due timer in time order, so minutes of alarms or a midnight
// roll-over play in microseconds and without sleeping.
class ManualTimeline : public ProgramClock, public WallClock, public TimerFactory {
public:
    explicit ManualTimeline(QDateTime wallStart = QDateTime(QDate(2026, 3, 14), QTime(10, 0, 0)));

    qint64 elapsedMs() const override { return now_; }
    QDateTime now() const override { return wallStart_.addMSecs(now_); }
    Timer* create(const QString& name, int periodMs, QObject* parent) override;

    // Moves time forward by ms, firing due timers in order (a timer's handler may arm others).
    void advance(qint64 ms);
    // Moves time forward without firing anything (a handler that blocked, a slow machine).
    void jump(qint64 ms) { now_ += ms; }
    void setWallClock(const QDateTime& wall) { wallStart_ = wall.addMSecs(-now_); }

private:
    friend class ManualTimer;
    void add(ManualTimer* timer) { timers_.append(timer); }
    void remove(ManualTimer* timer) { timers_.removeAll(timer); }
    quint64 nextOrder() { return ++order_; }

    qint64 now_ = 0;
    QDateTime wallStart_;
    QVector<ManualTimer*> timers_;
    quint64 order_ = 0;
};

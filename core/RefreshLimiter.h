#pragma once

#include <QObject>

#include <functional>

class ProgramClock;
class Timer;
class TimerFactory;

// Bounds how often the window copies the monitor onto its controls. A busy line brings a
// frame every few milliseconds, each changing a label or two; painting after every one of
// them costs more than everything else the tool does. Refreshes draw on a budget: one
// period's worth of it per refresh, refilled with time, holding at most kBurst refreshes.
// While the budget allows, a change shows at once, in the wake-up that brought it; that is
// always so after a quiet moment, and at the installation's own pace, where a converter frame,
// an HPU frame and the bus health line come fewer than ten a second. On a busy line the budget
// runs out: changes are then collected and shown together as soon as it allows one more
// refresh, so a value is never more than one period late and never lost.
class RefreshLimiter : public QObject {
    Q_OBJECT
public:
    // 10 refreshes a second on average: as often as a person reads a changing number, and half
    // the repaints and wake-ups of a busy line at 20.
    static constexpr int kPeriodMs = 100;
    // Two refreshes may follow each other at once: a change that comes just after another is
    // shown in its own wake-up rather than in one of its own a period later.
    static constexpr int kBurst = 2;

    RefreshLimiter(const ProgramClock& clock, TimerFactory& timers, std::function<void()> refresh,
                   QObject* parent = nullptr);

    // Something changed: refresh now, or as soon as the budget allows.
    void request();
    // Refresh at once, unconditionally; it spends from the budget like any other.
    void refreshNow();
    // Show a collected change at once (the user's own action must show without delay). A
    // change the request already showed, or no change at all, costs nothing.
    void flush();
    bool isPending() const;

private:
    // The budget now, in milliseconds of refreshing: kPeriodMs buys one refresh.
    qint64 budgetMs() const;

    const ProgramClock& clock_;
    Timer* timer_;
    std::function<void()> refresh_;
    qint64 budgetMs_ = qint64(kBurst) * kPeriodMs; // as of budgetAtMs_
    qint64 budgetAtMs_;
};

#include "core/RefreshLimiter.h"

#include "core/ProgramClock.h"
#include "core/Timer.h"

#include <algorithm>

RefreshLimiter::RefreshLimiter(const ProgramClock& clock, TimerFactory& timers, std::function<void()> refresh,
                               QObject* parent)
    : QObject(parent)
    , clock_(clock)
    , timer_(timers.create(QStringLiteral("WindowRefresh"), kPeriodMs, this))
    , refresh_(std::move(refresh))
    , budgetAtMs_(clock.elapsedMs()) {
    connect(timer_, &Timer::timeout, this, &RefreshLimiter::refreshNow);
}

qint64 RefreshLimiter::budgetMs() const {
    const qint64 refilled = budgetMs_ + (clock_.elapsedMs() - budgetAtMs_);
    return std::min<qint64>(refilled, qint64(kBurst) * kPeriodMs);
}

void RefreshLimiter::request() {
    if (isPending())
        return; // the refresh already due will show this change too
    const qint64 budget = budgetMs();
    if (budget >= kPeriodMs) {
        refreshNow();
        return;
    }
    timer_->setPeriod(int(kPeriodMs - budget));
    timer_->setMode(Timer::Single);
}

void RefreshLimiter::refreshNow() {
    timer_->setMode(Timer::Off);
    budgetMs_ = std::max<qint64>(budgetMs() - kPeriodMs, 0);
    budgetAtMs_ = clock_.elapsedMs();
    refresh_();
}

void RefreshLimiter::flush() {
    if (isPending())
        refreshNow();
}

bool RefreshLimiter::isPending() const {
    return timer_->isRunning();
}

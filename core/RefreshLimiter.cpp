#include "core/RefreshLimiter.h"

#include "core/ProgramClock.h"
#include "core/Timer.h"

#include <limits>

RefreshLimiter::RefreshLimiter(const ProgramClock& clock, TimerFactory& timers, std::function<void()> refresh,
                               QObject* parent)
    : QObject(parent)
    , clock_(clock)
    , timer_(timers.create(QStringLiteral("WindowRefresh"), kPeriodMs, this))
    , refresh_(std::move(refresh))
    , lastRefreshMs_(std::numeric_limits<qint64>::min() / 2) {
    connect(timer_, &Timer::timeout, this, &RefreshLimiter::refreshNow);
}

void RefreshLimiter::request() {
    if (isPending())
        return; // the refresh already due will show this change too
    const qint64 sinceLast = clock_.elapsedMs() - lastRefreshMs_;
    if (sinceLast >= kPeriodMs) {
        refreshNow();
        return;
    }
    timer_->setPeriod(int(kPeriodMs - sinceLast));
    timer_->setMode(Timer::Single);
}

void RefreshLimiter::refreshNow() {
    timer_->setMode(Timer::Off);
    lastRefreshMs_ = clock_.elapsedMs();
    refresh_();
}

void RefreshLimiter::flush() {
    if (isPending())
        refreshNow();
}

bool RefreshLimiter::isPending() const {
    return timer_->isRunning();
}

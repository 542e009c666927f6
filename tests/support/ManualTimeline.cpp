#include "ManualTimeline.h"

#include <QPointer>

ManualTimer::ManualTimer(ManualTimeline& timeline, int periodMs, QObject* parent)
    : Timer(parent)
    , timeline_(timeline)
    , period_(periodMs) {
    timeline_.add(this);
}

ManualTimer::~ManualTimer() { timeline_.remove(this); }

void ManualTimer::setMode(Mode mode) {
    if (mode == mode_)
        return;
    const bool wasOff = mode_ == Off;
    mode_ = mode;
    if (mode != Off && wasOff)
        restart();
}

void ManualTimer::setPeriod(int ms) {
    period_ = ms;
    if (mode_ != Off)
        restart();
}

void ManualTimer::restart() {
    if (mode_ == Off)
        return;
    dueAt_ = timeline_.elapsedMs() + qMax(period_, 0);
    armedOrder_ = timeline_.nextOrder();
}

void ManualTimer::fire() {
    if (mode_ == Single)
        mode_ = Off;
    else
        restart();
    emit timeout();
}

ManualTimeline::ManualTimeline(QDateTime wallStart)
    : wallStart_(std::move(wallStart)) {}

Timer* ManualTimeline::create(const QString& name, int periodMs, QObject* parent) {
    auto* timer = new ManualTimer(*this, periodMs, parent);
    timer->setObjectName(name);
    return timer;
}

void ManualTimeline::advance(qint64 ms) {
    const qint64 end = now_ + ms;
    for (;;) {
        ManualTimer* next = nullptr;
        for (ManualTimer* t : timers_) {
            if (t->mode() == Timer::Off || t->dueAt() > end)
                continue;
            if (!next || t->dueAt() < next->dueAt()
                || (t->dueAt() == next->dueAt() && t->armedOrder_ < next->armedOrder_))
                next = t;
        }
        if (!next)
            break;
        // A zero period would fire forever at one instant: Qt fires it once per loop
        // iteration; here it advances time by at least one millisecond per firing.
        now_ = qMax(now_, next->dueAt());
        if (next->period() <= 0 && next->mode() == Timer::Repeating)
            next->dueAt_ = now_ + 1;
        next->fire();
    }
    now_ = qMax(now_, end); // a nested advance (ticks while a message box is open) may have gone further
}

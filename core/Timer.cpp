#include "core/Timer.h"

#include <QTimer>

QtTimer::QtTimer(int periodMs, QObject* parent)
    : Timer(parent)
    , timer_(new QTimer(this)) {
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(periodMs);
    connect(timer_, &QTimer::timeout, this, &QtTimer::fired);
}

void QtTimer::setMode(Mode mode) {
    if (mode == mode_)
        return;
    mode_ = mode;
    if (mode == Off) {
        timer_->stop();
        return;
    }
    timer_->setSingleShot(mode == Single);
    if (!timer_->isActive())
        timer_->start();
}

int QtTimer::period() const { return timer_->interval(); }

void QtTimer::setPeriod(int ms) { timer_->setInterval(ms); }

void QtTimer::restart() {
    if (mode_ != Off)
        timer_->start();
}

void QtTimer::fired() {
    if (mode_ == Single)
        mode_ = Off;
    emit timeout();
}

Timer* QtTimerFactory::create(const QString& name, int periodMs, QObject* parent) {
    auto* timer = new QtTimer(periodMs, parent);
    timer->setObjectName(name);
    return timer;
}

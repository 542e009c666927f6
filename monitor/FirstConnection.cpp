#include "monitor/FirstConnection.h"

#include "monitor/Monitor.h"

namespace {
constexpr int kRetryMs = 1000; // as the running link's reopening
}

FirstConnection::FirstConnection(Monitor& monitor, RowOf rowOf, QObject* parent)
    : QObject(parent)
    , monitor_(monitor)
    , rowOf_(std::move(rowOf))
    , retry_(monitor.platform().timers.create(QStringLiteral("FirstConnection"), kRetryMs, this)) {
    retry_->setMode(Timer::Off);
    connect(retry_, &Timer::timeout, this, &FirstConnection::attempt);
}

void FirstConnection::start() {
    attempt();
}

void FirstConnection::attempt() {
    const QStringList devices = monitor_.devices();
    const int row = rowOf_(devices);
    Reason reason = Reason::Absent;
    if (row >= 0) {
        if (monitor_.connectTo(devices[row])) {
            waiting_ = false;
            retry_->setMode(Timer::Off);
            emit connected(devices[row]);
            return;
        }
        reason = Reason::CannotOpen;
    }
    waiting_ = true;
    if (int(reason) != lastReason_) {
        lastReason_ = int(reason);
        emit waiting(reason, devices);
    }
    if (retry_->mode() == Timer::Off)
        retry_->setMode(Timer::Repeating);
}

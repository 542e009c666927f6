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
    // The list as the window's would show it now, then the press of Connect on the right row.
    monitor_.PortListUpdater_Action();
    const QStringList rows = monitor_.controls().SerialPortsPopupMenu_rows;
    const int row = rowOf_(rows);
    Reason reason = Reason::Absent;
    if (row >= 0) {
        waiting_ = true; // a refused opening is told here, not by the port's own message
        monitor_.SerialPortsPopupMenu_SelectionChanged(row);
        monitor_.ConnectButton_Action();
        if (monitor_.isConnected()) {
            waiting_ = false;
            retry_->setMode(Timer::Off);
            emit connected(rows[row]);
            return;
        }
        reason = Reason::CannotOpen;
    }
    waiting_ = true;
    if (int(reason) != lastReason_) {
        lastReason_ = int(reason);
        emit waiting(reason, rows);
    }
    if (retry_->mode() == Timer::Off)
        retry_->setMode(Timer::Repeating);
}

#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class Monitor;
class Timer;

// The unattended logger's first connection, made as a technician would choose the device in
// the list, and tried again once a second while it cannot succeed: the adapter not plugged in
// yet, or its port held by another program. A service that starts before its adapter is ready
// waits, as the running logger waits for a pulled adapter to come back. Each reason to wait is
// told once.
class FirstConnection : public QObject {
    Q_OBJECT
public:
    enum class Reason { Absent, CannotOpen };
    // The wanted device's place among the devices present, -1 when it is not there.
    using RowOf = std::function<int(const QStringList& devices)>;

    FirstConnection(Monitor& monitor, RowOf rowOf, QObject* parent = nullptr);

    // Tries at once, then once a second until connected.
    void start();
    bool isWaiting() const { return waiting_; }

signals:
    // The first attempt that fails for this reason, and again only after another reason.
    void waiting(FirstConnection::Reason reason, const QStringList& devices);
    void connected(const QString& deviceName);

private:
    void attempt();

    Monitor& monitor_;
    RowOf rowOf_;
    Timer* retry_;
    bool waiting_ = false;
    int lastReason_ = -1; // none told yet
};

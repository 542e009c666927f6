#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT and SIGTERM (Ctrl+C, systemctl stop) delivered as a Qt signal on the event loop, so
// the logger finishes its second, says "offline" and closes its files before it leaves. The
// handler only writes a byte to a pipe (the one thing a signal handler may safely do); the
// event loop reads it.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    // False when the handlers could not be installed.
    bool install();

signals:
    void received(int signalNumber);

private:
    void readPipe();
    QSocketNotifier* notifier_ = nullptr;
};

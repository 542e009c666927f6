#pragma once

#include <QObject>

class QTimer;

// The main window's timers as the installation's tool knows them: a mode (off, fire once,
// repeat) and a period in milliseconds. Setting the mode it already has changes nothing,
// so a timer switched on again by every data-received event keeps its countdown.
class Timer : public QObject {
    Q_OBJECT
public:
    enum Mode { Off = 0, Single = 1, Repeating = 2 };

    using QObject::QObject;
    ~Timer() override = default;

    virtual Mode mode() const = 0;
    // Off stops; Single or Repeating starts the countdown when the timer was off.
    virtual void setMode(Mode mode) = 0;
    virtual int period() const = 0;
    // A new period on a running timer restarts its countdown with that period.
    virtual void setPeriod(int ms) = 0;
    // Restarts the countdown from now (only meaningful while running).
    virtual void restart() = 0;

    bool isRunning() const { return mode() != Off; }

signals:
    void timeout();
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    // The timer is created off with the given period; the caller sets its design mode.
    virtual Timer* create(const QString& name, int periodMs, QObject* parent) = 0;
};

// QTimer behind the Timer interface; precise timers, since the emission delay after a
// converter frame is measured in milliseconds.
class QtTimer : public Timer {
    Q_OBJECT
public:
    QtTimer(int periodMs, QObject* parent);
    Mode mode() const override { return mode_; }
    void setMode(Mode mode) override;
    int period() const override;
    void setPeriod(int ms) override;
    void restart() override;

private:
    void fired();
    QTimer* timer_;
    Mode mode_ = Off;
};

class QtTimerFactory : public TimerFactory {
public:
    Timer* create(const QString& name, int periodMs, QObject* parent) override;
};

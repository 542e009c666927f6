#pragma once

#include "core/MonitorState.h"
#include "core/ProgramClock.h"
#include "core/SerialPort.h"
#include "core/Timer.h"
#include "link/RawStreamTrace.h"
#include "link/ReceiveStateMachine.h"

#include <QString>
#include <QVector>

#include <optional>

// Reception: the port's data-received event runs the receive state machine until it waits for
// bytes still to come, every whole frame at once. Nothing ticks while a frame is incomplete: the
// next bytes bring their own event. Each event's time is kept with the bytes it brought, so the
// quiet gap after a converter frame is timed from the moment its last byte arrived.
class ReceptionPacer {
public:
    ReceptionPacer(SerialPort& port, ReceiveStateMachine& machine, const ProgramClock& clock)
        : port_(port)
        , machine_(machine)
        , clock_(clock) {}

    void SerialConnection1_DataReceived();

    // When the last byte the machine has read arrived, in microseconds of the program clock;
    // empty when no data-received event told of it (bytes that came in while a dispatch held the
    // event loop in a message box, from a port that then kept quiet).
    std::optional<qint64> lastByteArrivalUs() const;

private:
    // The bytes up to number upToByte (counted since the machine started) had arrived at atUs.
    struct Arrival {
        quint64 upToByte;
        qint64 atUs;
    };
    quint64 bytesRead() const { return machine_.counters().bytesReceived; }

    SerialPort& port_;
    ReceiveStateMachine& machine_;
    const ProgramClock& clock_;
    QVector<Arrival> arrivals_; // oldest first; only those of bytes not yet read, and the last read
    bool decoding_ = false;
};

// Emission: the tool speaks only in the quiet gap after a converter frame. Each valid
// converter frame opens a gap that ends Textfield_timer_emission's delay after the frame's last
// byte arrived; the pending command, if any, is written once at that moment by
// TimerEmissionRS485's single tick. The timer runs only while a command waits: a gap with
// nothing to send costs no wake-up, and a command built during a gap arms it for the rest of
// that gap, so it leaves at the same moment as one built before the frame.
class EmissionPacer {
public:
    static constexpr int kDefaultDelayMs = 150;

    EmissionPacer(MonitorState& state, SerialPort& port, RawStreamTrace& trace, Timer& timerEmission,
                  const ProgramClock& clock)
        : state_(state)
        , port_(port)
        , trace_(trace)
        , timer_(timerEmission)
        , clock_(clock) {}

    // On each valid converter frame, with the moment its last byte arrived: the delay from its
    // text (a text giving no positive number keeps the last valid delay), a new gap, and the
    // countdown restarted for the rest of that gap, repeating (the tick switches it off), when a
    // command is pending; otherwise the timer stays off. A frame read only after its gap was over,
    // or whose arrival is not known, opens no gap: the command waits for the next one.
    void arm(const QString& delayText, std::optional<qint64> frameEndUs);
    // After a command has been built: within a gap with the timer off, it is armed for the
    // rest of the gap. Past the gap, the command waits for the next converter frame.
    void commandQueued();
    // After a pending command was withdrawn: with nothing left to send, the tick stays off.
    void commandWithdrawn();
    void TimerEmissionRS485_Action();

    int delayMs() const { return delayMs_; }

private:
    // Arms the tick for the end of the gap, when a command waits and the gap is still open.
    void startForRestOfGap();

    MonitorState& state_;
    SerialPort& port_;
    RawStreamTrace& trace_;
    Timer& timer_;
    const ProgramClock& clock_;
    int delayMs_ = kDefaultDelayMs;
    qint64 gapEndUs_ = -1; // when the open gap ends; -1 when no gap is open
};

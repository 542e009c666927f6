#pragma once

#include "core/MonitorState.h"
#include "core/ProgramClock.h"
#include "core/SerialPort.h"
#include "core/Timer.h"
#include "link/RawStreamTrace.h"
#include "link/ReceiveStateMachine.h"

#include <QString>

// Reception: the port's data-received event switches TimerReceptionRS485 on; its 10 ms tick
// runs the receive state machine until the port's buffer is empty.
class ReceptionPacer {
public:
    enum class Pace {
        // The tool's own pace: the 10 ms tick after the bytes arrive decodes the frame, and the
        // quiet gap for a command is timed from it.
        Tick,
        // For a listener that never speaks: the bytes are decoded as they arrive, every whole
        // frame at once, and nothing ticks while a frame is incomplete, since the next bytes
        // bring their own event. One wake-up a frame instead of two; a quiet gap would start at
        // the frame's arrival, not at the tick, so a tool that speaks keeps Tick.
        AsBytesArrive
    };

    ReceptionPacer(SerialPort& port, Timer& timerReception, ReceiveStateMachine& machine)
        : port_(port)
        , timer_(timerReception)
        , machine_(machine) {}

    void setPace(Pace pace);

    void SerialConnection1_DataReceived();
    void TimerReceptionRS485_Action();

private:
    SerialPort& port_;
    Timer& timer_;
    ReceiveStateMachine& machine_;
    Pace pace_ = Pace::Tick;
};

// Emission: the tool speaks only in the quiet gap after a converter frame. Each valid
// converter frame opens a gap that ends Textfield_timer_emission's delay later; the pending
// command, if any, is written once at that moment by TimerEmissionRS485's single tick.
// The timer runs only while a command waits: a gap with nothing to send costs no wake-up,
// and a command built during a gap arms it for the rest of that gap, so it leaves at the
// same moment as one built before the frame.
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

    // On each valid converter frame: the delay from its text (a text giving no positive
    // number keeps the last valid delay), a new gap, and the countdown restarted, repeating
    // (the tick switches it off), when a command is pending; otherwise the timer stays off.
    void arm(const QString& delayText);
    // After a command has been built: within a gap with the timer off, it is armed for the
    // rest of the gap. Past the gap, the command waits for the next converter frame.
    void commandQueued();
    void TimerEmissionRS485_Action();

    int delayMs() const { return delayMs_; }

private:
    void start(qint64 periodMs);

    MonitorState& state_;
    SerialPort& port_;
    RawStreamTrace& trace_;
    Timer& timer_;
    const ProgramClock& clock_;
    int delayMs_ = kDefaultDelayMs;
    qint64 gapEndMs_ = -1; // when the last gap's tick is due; -1 before the first frame
};

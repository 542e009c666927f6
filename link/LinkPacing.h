#pragma once

#include "core/MonitorState.h"
#include "core/Timer.h"
#include "link/RawStreamTrace.h"
#include "link/ReceiveStateMachine.h"
#include "core/SerialPort.h"

#include <QString>

// Reception: the port's data-received event switches TimerReceptionRS485 on; its 10 ms tick
// runs the receive state machine until the port's buffer is empty.
class ReceptionPacer {
public:
    ReceptionPacer(SerialPort& port, Timer& timerReception, ReceiveStateMachine& machine)
        : port_(port)
        , timer_(timerReception)
        , machine_(machine) {}

    void SerialConnection1_DataReceived();
    void TimerReceptionRS485_Action();

private:
    SerialPort& port_;
    Timer& timer_;
    ReceiveStateMachine& machine_;
};

// Emission: the tool speaks only in the quiet gap after a converter frame. Each valid
// converter frame re-arms TimerEmissionRS485 with the delay of Textfield_timer_emission; its
// single tick writes the pending command, if any, once.
class EmissionPacer {
public:
    static constexpr int kDefaultDelayMs = 150;

    EmissionPacer(MonitorState& state, SerialPort& port, RawStreamTrace& trace, Timer& timerEmission)
        : state_(state)
        , port_(port)
        , trace_(trace)
        , timer_(timerEmission) {}

    // On each valid converter frame: period from the delay text, countdown restarted,
    // repeating (the tick switches it off). A text giving no positive number keeps the last
    // valid delay.
    void arm(const QString& delayText);
    void TimerEmissionRS485_Action();

    int delayMs() const { return delayMs_; }

private:
    MonitorState& state_;
    SerialPort& port_;
    RawStreamTrace& trace_;
    Timer& timer_;
    int delayMs_ = kDefaultDelayMs;
};

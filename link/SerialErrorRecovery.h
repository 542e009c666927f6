#pragma once

#include "core/MonitorState.h"
#include "core/Notifier.h"
#include "link/PortSelection.h"
#include "core/SerialPort.h"

#include <QString>

// Faults of an open port (adapter pulled out, driver fault): each one closes the port and
// is counted; only when errors keep coming (a twelfth within one 5 s window of
// TimerResetError) is the user told and the window returned to its disconnected state.
class SerialErrorRecovery {
public:
    static const QString kErrorMessage;                // "A serial port error occurred."
    static constexpr qint64 kErrorsBeforeMessage = 10; // the eleventh is still only counted

    SerialErrorRecovery(MonitorState& state, SerialPort& port, Notifier& notifier, PortSelection& ports)
        : state_(state)
        , port_(port)
        , notifier_(notifier)
        , ports_(ports) {}

    void SerialConnection1_Error();
    void TimerResetError_Action() { state_.serial_count_errors = 0; }

private:
    MonitorState& state_;
    SerialPort& port_;
    Notifier& notifier_;
    PortSelection& ports_;
};

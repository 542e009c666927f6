#pragma once

#include "core/MonitorState.h"
#include "core/Notifier.h"
#include "core/SerialPort.h"

#include <QString>

// The connection to one serial device, held as one state and changed only here:
//
//   Disconnected --open--> Connected --error, device gone, silence--> Reconnecting
//        ^                   |  ^                                           |
//        +-------close-------+  +-------------- reopened ------------------+
//        +------------------- close, or a burst of errors ------------------+
//
// Connected: the port is open on the device. Reconnecting: the port was closed under the user
// (a pulled cable, a driver fault) and the same device, found again by its name, is reopened
// once a second, since a replugged adapter may come back at another place. Each error of the
// port closes it and is counted; only when errors keep coming (a twelfth within one 5 s window
// of resetErrors) is the user told and the connection closed, as if Disconnect were pressed.
//
// Where nobody is there to press Connect again, an adapter that stays open but falls silent
// after bytes were flowing (a wedged driver or converter) counts as lost too, once the silence
// limit has passed: it is closed and reopened like a pulled one.
//
// Each change is returned as an Outcome; what the window shows of it is the monitor's business.
class Connection {
public:
    enum class State { Disconnected, Connected, Reconnecting };
    enum class Outcome {
        Unchanged,
        Opened,       // Disconnected -> Connected
        OpenRefused,  // the device is not listed, or its port would not open: still Disconnected
        Closed,       // -> Disconnected, by the user
        GaveUp,       // -> Disconnected, after a burst of errors (the user has been told)
        Lost,         // Connected -> Reconnecting; lossReason() says why
        Reconnected,  // Reconnecting -> Connected
    };

    static const QString kOpenFailedMessage; // "The serial connection could not be opened."
    static const QString kErrorMessage;      // "A serial port error occurred."
    static constexpr qint64 kErrorsBeforeMessage = 10; // the eleventh is still only counted

    // The error count is the record's serial_count_errors.
    Connection(const SerialDeviceList& devices, SerialPort& port, Notifier& notifier, MonitorState& record)
        : devices_(devices)
        , port_(port)
        , notifier_(notifier)
        , record_(record) {}

    State state() const { return state_; }
    // Connected or reconnecting: the user has not disconnected.
    bool isConnected() const { return state_ != State::Disconnected; }
    bool isReconnecting() const { return state_ == State::Reconnecting; }
    // The device of the connection, kept after it ends.
    const QString& deviceName() const { return deviceName_; }
    // Why the link was last lost: the port's error, the device gone from the list, its silence.
    const QString& lossReason() const { return lossReason_; }

    // Opens the device listed under this name. Unchanged while not disconnected.
    Outcome open(const QString& deviceName);
    // Closes the port and ends any reopening.
    Outcome close();
    // The port reported an error (its text in description).
    Outcome portError(const QString& description);
    // Every 5 s: the burst of errors starts again from none.
    void resetErrors() { record_.serial_count_errors = 0; }
    // Once a second: notices a device gone from the list or silent too long (closing its port),
    // or, while reconnecting, reopens the device once it is listed again.
    Outcome tick(qint64 nowMs);

    // Bytes arrived from the open port at nowMs (program clock).
    void heard(qint64 nowMs);
    // Silence after bytes were flowing that counts as a loss; 0 (the default) never does.
    void setSilenceLimit(qint64 ms) { silenceLimitMs_ = ms; }

private:
    bool listed(SerialDevice* found) const;
    // The port is closed already.
    Outcome lose(const QString& reason);

    const SerialDeviceList& devices_;
    SerialPort& port_;
    Notifier& notifier_;
    MonitorState& record_;

    State state_ = State::Disconnected;
    QString deviceName_;
    SerialDevice device_; // where the device was last opened
    QString lossReason_;
    qint64 silenceLimitMs_ = 0;
    qint64 lastHeardMs_ = -1; // -1: nothing heard since the port was (re)opened
};

#include "link/Connection.h"

#include "link/PortSelection.h"

// In English; the message box shows them in the user's language.
const QString Connection::kOpenFailedMessage =
    QString::fromUtf8(QT_TRANSLATE_NOOP("Messages", "The serial connection could not be opened."));
const QString Connection::kErrorMessage =
    QString::fromUtf8(QT_TRANSLATE_NOOP("Messages", "A serial port error occurred."));

Connection::Outcome Connection::open(const QString& deviceName) {
    if (state_ != State::Disconnected)
        return Outcome::Unchanged;
    // A device unplugged since the list was last refreshed is no longer listed: it cannot open.
    const QString previousName = deviceName_;
    deviceName_ = deviceName;
    SerialDevice device;
    if (!listed(&device) || !port_.open(device)) {
        deviceName_ = previousName;
        return Outcome::OpenRefused;
    }
    device_ = device;
    state_ = State::Connected;
    lastHeardMs_ = -1;
    return Outcome::Opened;
}

Connection::Outcome Connection::close() {
    if (state_ == State::Disconnected)
        return Outcome::Unchanged;
    port_.close();
    state_ = State::Disconnected;
    return Outcome::Closed;
}

Connection::Outcome Connection::portError(const QString& description) {
    if (record_.serial_count_errors > kErrorsBeforeMessage) {
        notifier_.beep();
        port_.close();
        // Modal: timers and port events still run meanwhile, and the window still shows the
        // connection until the user has seen why it ends.
        notifier_.showMessage(kErrorMessage);
        const Outcome closed = close(); // a connection already closed stays so
        record_.serial_count_errors = 0;
        return closed == Outcome::Closed ? Outcome::GaveUp : Outcome::Unchanged;
    }
    ++record_.serial_count_errors;
    port_.close();
    if (state_ != State::Connected)
        return Outcome::Unchanged;
    return lose(description);
}

Connection::Outcome Connection::lose(const QString& reason) {
    lossReason_ = reason;
    state_ = State::Reconnecting;
    lastHeardMs_ = -1;
    return Outcome::Lost;
}

void Connection::heard(qint64 nowMs) {
    if (state_ == State::Connected)
        lastHeardMs_ = nowMs;
}

Connection::Outcome Connection::tick(qint64 nowMs) {
    switch (state_) {
    case State::Disconnected:
        return Outcome::Unchanged;
    case State::Connected: {
        // The device the port was opened on, watched without a scan of the system's devices.
        const bool present = devices_.isPresent(device_);
        const bool silent =
            silenceLimitMs_ > 0 && lastHeardMs_ >= 0 && nowMs - lastHeardMs_ >= silenceLimitMs_;
        if (present && port_.isOpen() && !silent)
            return Outcome::Unchanged;
        const bool wasOpen = port_.isOpen();
        port_.close();
        // Only a silence that follows bytes counts: a bus that never spoke is not reopened again
        // and again, and after this reopening the watch waits for bytes once more.
        if (present && wasOpen)
            return lose(QStringLiteral("no byte from %1 for %2 s while its port was open: reopening it")
                            .arg(deviceName_)
                            .arg(silenceLimitMs_ / 1000));
        // The device left the system's list, or its port was closed some other way: a port kept
        // open on a vanished device only waits for errors.
        return lose(present ? QStringLiteral("the port of %1 was closed").arg(deviceName_)
                            : QStringLiteral("%1 is no longer listed").arg(deviceName_));
    }
    case State::Reconnecting: {
        SerialDevice device;
        if (!listed(&device) || !port_.open(device))
            return Outcome::Unchanged; // tried again at the next tick
        device_ = device;
        state_ = State::Connected;
        lastHeardMs_ = -1;
        return Outcome::Reconnected;
    }
    }
    return Outcome::Unchanged;
}

bool Connection::listed(SerialDevice* found) const {
    const QVector<SerialDevice> present = devices_.devices();
    for (const SerialDevice& device : present) {
        if (GetSerialPortFriendlyName(device.name) == deviceName_) {
            *found = device;
            return true;
        }
    }
    return false;
}

#pragma once

#include "core/SerialPort.h"

#include <QString>

// Keeps a connection alive across a pulled cable or a driver fault. While the window is
// connected, the link counts as lost when its port has been closed by an error or when its
// device has left the system's list; once a second it then tries to reopen the same device,
// found again by its name, since a replugged adapter may come back at another place.
//
// Where nobody is there to press Connect again, an adapter that stays open but falls silent
// after bytes were flowing (a wedged driver or converter) counts as lost too, once the
// silence limit has passed: it is closed and reopened like a pulled one.
class Reconnection {
public:
    enum class Outcome { Nothing, Lost, Reconnected };

    Reconnection(const SerialDeviceList& devices, SerialPort& port)
        : devices_(devices)
        , port_(port) {}

    // A connection to the device of this name has just been opened (one look at the list).
    void start(const QString& deviceName);
    // The user disconnected (or the errors did): no more attempts.
    void stop();
    // The port was closed under a connected window. True when this begins the loss.
    bool lose();
    // Once a second while connected: notices a device gone from the list or silent too long
    // (closing its port), or, while lost, reopens the device when it is listed again.
    Outcome tick(qint64 nowMs);

    // Bytes arrived from the open port at nowMs (program clock).
    void heard(qint64 nowMs);
    // Silence after bytes were flowing that counts as a loss; 0 (the default) never does.
    void setSilenceLimit(qint64 ms) { silenceLimitMs_ = ms; }

    bool isActive() const { return active_; }
    bool isLost() const { return active_ && lost_; }
    const QString& deviceName() const { return deviceName_; }
    // Why the last tick found the link lost: the device gone from the list, or its port closed.
    const QString& lossReason() const { return lossReason_; }

private:
    bool listed(SerialDevice* found) const;
    SerialDevice device_; // where the device was last opened

    const SerialDeviceList& devices_;
    SerialPort& port_;
    QString deviceName_;
    QString lossReason_;
    bool active_ = false;
    bool lost_ = false;
    qint64 silenceLimitMs_ = 0;
    qint64 lastHeardMs_ = -1; // -1: nothing heard since the port was (re)opened
};

#include "link/Reconnection.h"

#include "link/PortSelection.h"

void Reconnection::start(const QString& deviceName) {
    deviceName_ = deviceName;
    active_ = true;
    lost_ = false;
    device_ = SerialDevice();
    listed(&device_);
}

void Reconnection::stop() {
    active_ = false;
    lost_ = false;
}

bool Reconnection::lose() {
    if (!active_ || lost_)
        return false;
    lost_ = true;
    return true;
}

Reconnection::Outcome Reconnection::tick() {
    if (!active_)
        return Outcome::Nothing;
    if (!lost_) {
        // The device the port was opened on, watched without a scan of the system's devices.
        const bool present = devices_.isPresent(device_);
        if (present && port_.isOpen())
            return Outcome::Nothing;
        // The device left the system's list, or its port was closed some other way: a port
        // kept open on a vanished device only waits for errors.
        lossReason_ = present ? QStringLiteral("the port of %1 was closed").arg(deviceName_)
                              : QStringLiteral("%1 is no longer listed").arg(deviceName_);
        port_.close();
        lost_ = true;
        return Outcome::Lost;
    }
    SerialDevice device;
    if (!listed(&device) || !port_.open(device))
        return Outcome::Nothing; // tried again at the next tick
    device_ = device;
    lost_ = false;
    return Outcome::Reconnected;
}

bool Reconnection::listed(SerialDevice* found) const {
    const QVector<SerialDevice> present = devices_.devices();
    for (const SerialDevice& device : present) {
        if (GetSerialPortFriendlyName(device.name) == deviceName_) {
            *found = device;
            return true;
        }
    }
    return false;
}

#include "link/Reconnection.h"

#include "link/PortSelection.h"

void Reconnection::start(const QString& deviceName) {
    deviceName_ = deviceName;
    active_ = true;
    lost_ = false;
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
    SerialDevice device;
    const bool present = listed(&device);
    if (!lost_) {
        if (present && port_.isOpen())
            return Outcome::Nothing;
        // The device left the system's list, or its port was closed some other way: a port
        // kept open on a vanished device only waits for errors.
        port_.close();
        lost_ = true;
        return Outcome::Lost;
    }
    if (!present || !port_.open(device))
        return Outcome::Nothing; // tried again at the next tick
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

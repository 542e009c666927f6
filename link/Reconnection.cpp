#include "link/Reconnection.h"

#include "link/PortSelection.h"

void Reconnection::start(const QString& deviceName) {
    deviceName_ = deviceName;
    active_ = true;
    lost_ = false;
    lastHeardMs_ = -1;
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

void Reconnection::heard(qint64 nowMs) {
    if (active_ && !lost_)
        lastHeardMs_ = nowMs;
}

Reconnection::Outcome Reconnection::tick(qint64 nowMs) {
    if (!active_)
        return Outcome::Nothing;
    if (!lost_) {
        // The device the port was opened on, watched without a scan of the system's devices.
        const bool present = devices_.isPresent(device_);
        const bool silent =
            silenceLimitMs_ > 0 && lastHeardMs_ >= 0 && nowMs - lastHeardMs_ >= silenceLimitMs_;
        if (present && port_.isOpen() && !silent)
            return Outcome::Nothing;
        if (present && port_.isOpen()) {
            // Only a silence that follows bytes counts: a bus that never spoke is not reopened
            // again and again, and after this reopening the watch waits for bytes once more.
            lossReason_ = QStringLiteral("no byte from %1 for %2 s while its port was open: reopening it")
                              .arg(deviceName_)
                              .arg(silenceLimitMs_ / 1000);
            port_.close();
            lost_ = true;
            lastHeardMs_ = -1;
            return Outcome::Lost;
        }
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
    lastHeardMs_ = -1;
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

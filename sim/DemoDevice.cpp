#include "sim/DemoDevice.h"

namespace DemoDevice {

QString name() {
    return QStringLiteral("Demo installation");
}

QString location() {
    return QStringLiteral("velmora-demo:installation");
}

SerialDevice device() {
    return {name(), location()};
}

} // namespace DemoDevice

QVector<SerialDevice> DemoDeviceList::devices() const {
    QVector<SerialDevice> list = system_.devices();
    list.append(extra_);
    return list;
}

DemoRoutingSerialPort::DemoRoutingSerialPort(SerialPort& real, SerialPort& demo, QObject* parent,
                                             QString demoLocation)
    : SerialPort(parent)
    , real_(real)
    , demo_(demo)
    , demoLocation_(std::move(demoLocation)) {
    forwardFrom(real_);
    forwardFrom(demo_);
}

void DemoRoutingSerialPort::forwardFrom(SerialPort& port) {
    connect(&port, &SerialPort::dataReceived, this, [this, &port] {
        if (active_ == &port)
            emit dataReceived();
    });
    connect(&port, &SerialPort::errorOccurred, this, [this, &port](const QString& description) {
        if (active_ == &port)
            emit errorOccurred(description);
    });
}

bool DemoRoutingSerialPort::open(const SerialDevice& device) {
    if (active_)
        active_->close();
    active_ = device.location == demoLocation_ ? &demo_ : &real_;
    return active_->open(device);
}

void DemoRoutingSerialPort::close() {
    if (active_)
        active_->close();
}

DemoPlatform::DemoPlatform(const Platform& base, Sim::SimulationSettings settings)
    : base_(base)
    , simulated_(base.timers, base.clock, std::move(settings))
    , port_(base.port, simulated_)
    , devices_(base.devices) {}

Platform DemoPlatform::platform() {
    return Platform{base_.clock, base_.wallClock, base_.timers,     port_, devices_, base_.notifier,
                    base_.sound, base_.resources, base_.userFolders};
}

#pragma once

#include "core/Platform.h"
#include "core/SerialPort.h"
#include "sim/SimulatedSerialPort.h"

// The "Demo installation" that --demo adds at the end of the serial device list: choosing
// it connects the tool to the simulated installation inside the process, with no adapter.
namespace DemoDevice {

QString name();     // "Demo installation"
QString location(); // what the port is handed for it; no system device has this location
SerialDevice device();

} // namespace DemoDevice

// The system's devices followed by the demo installation (or another device served inside
// the process, such as a replay).
class DemoDeviceList : public SerialDeviceList {
public:
    explicit DemoDeviceList(const SerialDeviceList& system, SerialDevice extra = DemoDevice::device())
        : system_(system)
        , extra_(std::move(extra)) {}
    QVector<SerialDevice> devices() const override;

private:
    const SerialDeviceList& system_;
    SerialDevice extra_;
};

// SerialConnection1 with --demo: opening the demo device (the device at the given location)
// opens the simulated port, opening any other device the real one. Everything else goes to the port opened
// last, and only that port's events come through.
class DemoRoutingSerialPort : public SerialPort {
    Q_OBJECT
public:
    DemoRoutingSerialPort(SerialPort& real, SerialPort& demo, QObject* parent = nullptr,
                          QString demoLocation = DemoDevice::location());

    bool open(const SerialDevice& device) override;
    void close() override;
    bool isOpen() const override { return active_ && active_->isOpen(); }
    qint64 bytesAvailable() const override { return active_ ? active_->bytesAvailable() : 0; }
    QByteArray peekAll() const override { return active_ ? active_->peekAll() : QByteArray(); }
    QByteArray read(qint64 n) override { return active_ ? active_->read(n) : QByteArray(); }
    qint64 write(const QByteArray& bytes) override { return active_ ? active_->write(bytes) : -1; }

private:
    void forwardFrom(SerialPort& port);

    SerialPort& real_;
    SerialPort& demo_;
    SerialPort* active_ = nullptr;
    QString demoLocation_;
};

// What --demo adds to a platform: the demo installation at the end of the device list and
// the port that serves it from the simulation, on the platform's own clock and timers.
class DemoPlatform {
public:
    explicit DemoPlatform(const Platform& base, Sim::SimulationSettings settings = {});
    // The base platform with the demo device list and the routing port.
    Platform platform();
    SimulatedSerialPort& simulatedPort() { return simulated_; }

private:
    Platform base_;
    SimulatedSerialPort simulated_;
    DemoRoutingSerialPort port_;
    DemoDeviceList devices_;
};

#include "sim/SimulatedSerialPort.h"

SimulatedSerialPort::SimulatedSerialPort(TimerFactory& timers, const ProgramClock& clock,
                                         Sim::SimulationSettings settings, QObject* parent)
    : SerialPort(parent)
    , installation_(timers, clock, std::move(settings)) {
    connect(&installation_, &Sim::SimulatedInstallation::bytesSent, this, &SimulatedSerialPort::arrive);
}

bool SimulatedSerialPort::open(const SerialDevice&) {
    open_ = true;
    incoming_.clear();
    installation_.start();
    return true;
}

void SimulatedSerialPort::close() {
    if (!open_)
        return;
    open_ = false;
    installation_.stop();
    incoming_.clear();
}

QByteArray SimulatedSerialPort::read(qint64 n) {
    const QByteArray taken = incoming_.left(int(qMin<qint64>(n, incoming_.size())));
    incoming_.remove(0, taken.size());
    return taken;
}

qint64 SimulatedSerialPort::write(const QByteArray& bytes) {
    if (!open_)
        return -1;
    installation_.receive(bytes);
    return bytes.size();
}

void SimulatedSerialPort::arrive(const QByteArray& bytes) {
    if (!open_)
        return;
    incoming_.append(bytes);
    emit dataReceived();
}

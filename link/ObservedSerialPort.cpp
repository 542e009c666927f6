#include "link/ObservedSerialPort.h"

#include <QMetaMethod>

ObservedSerialPort::ObservedSerialPort(SerialPort& port, QObject* parent)
    : SerialPort(parent)
    , port_(port) {
    connect(&port_, &SerialPort::dataReceived, this, &ObservedSerialPort::arrived);
    connect(&port_, &SerialPort::errorOccurred, this, &SerialPort::errorOccurred);
}

bool ObservedSerialPort::open(const SerialDevice& device) {
    const bool opened = port_.open(device);
    told_ = port_.bytesAvailable(); // what a port keeps from before is no new arrival
    return opened;
}

void ObservedSerialPort::close() {
    port_.close();
    told_ = port_.bytesAvailable();
}

void ObservedSerialPort::arrived() {
    // The port's buffer holds what was told before and not yet read, then the new bytes.
    const qint64 waiting = port_.bytesAvailable();
    static const QMetaMethod received = QMetaMethod::fromSignal(&ObservedSerialPort::chunkReceived);
    if (waiting > told_ && isSignalConnected(received))
        emit chunkReceived(port_.peekAll().right(int(waiting - told_)));
    told_ = waiting;
    emit dataReceived();
}

QByteArray ObservedSerialPort::read(qint64 n) {
    const QByteArray taken = port_.read(n);
    told_ = qMax<qint64>(0, told_ - taken.size());
    return taken;
}

qint64 ObservedSerialPort::write(const QByteArray& bytes) {
    const qint64 accepted = port_.write(bytes);
    if (accepted > 0)
        emit chunkWritten(bytes.left(int(accepted)));
    return accepted;
}

#include "link/QtSerialPort.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

QtSerialPort::QtSerialPort(QObject* parent)
    : SerialPort(parent)
    , port_(new QSerialPort(this)) {
    connect(port_, &QSerialPort::readyRead, this, &SerialPort::dataReceived);
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        // Only faults of an open port reach the error handling; a failed opening is
        // reported by open() itself.
        if (error == QSerialPort::NoError || !port_->isOpen() || settingUp_)
            return;
        emit errorOccurred(port_->errorString());
    });
}

bool QtSerialPort::open(const SerialDevice& device) {
    if (port_->isOpen())
        port_->close();
    port_->setPortName(device.location);
    port_->setBaudRate(QSerialPort::Baud9600);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite))
        return false;
    // Devices without modem lines (a pseudo-terminal, some adapters) refuse DTR and RTS;
    // that is no fault of the open port.
    settingUp_ = true;
    port_->setDataTerminalReady(false);
    port_->setRequestToSend(false);
    settingUp_ = false;
    port_->clearError();
    return true;
}

void QtSerialPort::close() {
    if (port_->isOpen())
        port_->close();
}

bool QtSerialPort::isOpen() const {
    return port_->isOpen();
}

qint64 QtSerialPort::bytesAvailable() const {
    return port_->isOpen() ? port_->bytesAvailable() : 0;
}

QByteArray QtSerialPort::peekAll() const {
    return port_->isOpen() ? port_->peek(port_->bytesAvailable()) : QByteArray();
}

QByteArray QtSerialPort::read(qint64 n) {
    return port_->isOpen() ? port_->read(n) : QByteArray();
}

qint64 QtSerialPort::write(const QByteArray& bytes) {
    if (!port_->isOpen())
        return -1;
    const qint64 accepted = port_->write(bytes);
    // Handed to the driver at once: a device that has vanished reports it here, and its error
    // closes the port, so the caller learns that nothing left rather than a success.
    port_->flush();
    return port_->isOpen() ? accepted : -1;
}

QVector<SerialDevice> QtSerialDeviceList::devices() const {
    QVector<SerialDevice> result;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        result.append({info.portName(), info.systemLocation()});
    // An extra path is listed while it leads somewhere: a link to a pseudo-terminal that has
    // been removed is a pulled adapter.
    for (const QString& path : extraPaths_)
        if (QFileInfo::exists(path))
            result.append({path, path});
    return result;
}

bool QtSerialDeviceList::isPresent(const SerialDevice& device) const {
#ifdef Q_OS_UNIX
    return QFileInfo::exists(device.location);
#else
    return SerialDeviceList::isPresent(device);
#endif
}

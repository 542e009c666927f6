#pragma once

#include "core/SerialPort.h"

#include <QStringList>

class QSerialPort;

// QSerialPort behind the SerialPort interface, driven asynchronously on the UI thread.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);

    bool open(const SerialDevice& device) override;
    void close() override;
    bool isOpen() const override;
    qint64 bytesAvailable() const override;
    QByteArray peekAll() const override;
    QByteArray read(qint64 n) override;
    qint64 write(const QByteArray& bytes) override;

private:
    QSerialPort* port_;
    bool settingUp_ = false; // errors of the line settings made right after opening are not port faults
};

// The operating system's serial devices, optionally followed by extra device paths
// (pseudo-terminals, simulators, adapters that enumeration does not list) that exist now.
class QtSerialDeviceList : public SerialDeviceList {
public:
    explicit QtSerialDeviceList(QStringList extraPaths = {})
        : extraPaths_(std::move(extraPaths)) {}
    QVector<SerialDevice> devices() const override;
    // On POSIX systems a device is a file: one look at it instead of a scan of the system.
    bool isPresent(const SerialDevice& device) const override;

private:
    QStringList extraPaths_;
};

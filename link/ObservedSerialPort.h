#pragma once

#include "core/SerialPort.h"

// SerialConnection1 as the link uses it, telling what crosses it: each chunk of bytes as the
// port reports it arrived, and each write. Observers (a bus capture) listen to the two
// signals; the link reads and writes through this port as through any other.
class ObservedSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit ObservedSerialPort(SerialPort& port, QObject* parent = nullptr);

    bool open(const SerialDevice& device) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    qint64 bytesAvailable() const override { return port_.bytesAvailable(); }
    QByteArray peekAll() const override { return port_.peekAll(); }
    QByteArray read(qint64 n) override;
    qint64 write(const QByteArray& bytes) override;

signals:
    void chunkReceived(const QByteArray& bytes);
    // Bytes the port accepted for the line.
    void chunkWritten(const QByteArray& bytes);

private:
    void arrived();

    SerialPort& port_;
    qint64 told_ = 0; // buffered bytes already reported as received
};

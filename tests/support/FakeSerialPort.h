#pragma once

#include "core/SerialPort.h"

#include <QByteArray>
#include <QList>

// A scripted serial port: the test feeds bytes in (as the line would) and reads back
// every write, with failures and error events on demand.
class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    bool open(const SerialDevice& device) override;
    void close() override {
        open_ = false;
        ++closeCount;
    }
    bool isOpen() const override { return open_; }
    qint64 bytesAvailable() const override { return incoming_.size(); }
    QByteArray peekAll() const override { return incoming_; }
    QByteArray read(qint64 n) override;
    qint64 write(const QByteArray& bytes) override;

    // Bytes arriving from the line; raises dataReceived unless quiet.
    void feed(const QByteArray& bytes, bool raiseDataReceived = true);
    // A fault of the open port. Like the real port, a closed one reports nothing.
    void raiseError(const QString& description = QStringLiteral("fault")) {
        if (open_)
            emit errorOccurred(description);
    }

    bool failOpen = false;    // the next open() fails
    QList<QByteArray> writes; // each write() call, in order
    SerialDevice openedDevice;
    int openCount = 0;
    int closeCount = 0;

private:
    bool open_ = false;
    QByteArray incoming_;
};

class FakeDeviceList : public SerialDeviceList {
public:
    QVector<SerialDevice> devices() const override { return list; }
    void setNames(const QStringList& names);
    QVector<SerialDevice> list;
};

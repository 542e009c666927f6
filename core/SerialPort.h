#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>

// One serial device as the system lists it: the name shown in the device list and the
// location handed to the port when it is opened.
struct SerialDevice {
    QString name;
    QString location;
};

// The serial devices present now, in the system's order.
class SerialDeviceList {
public:
    virtual ~SerialDeviceList() = default;
    virtual QVector<SerialDevice> devices() const = 0;
    // Whether the device is still there. Watched once a second while connected, so a platform
    // may answer more cheaply than by a whole enumeration.
    virtual bool isPresent(const SerialDevice& device) const {
        const QVector<SerialDevice> present = devices();
        for (const SerialDevice& d : present)
            if (d.name == device.name && d.location == device.location)
                return true;
        return false;
    }
};

// The main window's single serial port, SerialConnection1. Opened at 9600 bit/s, 8 data
// bits, no parity, 1 stop bit, no flow control, DTR and RTS de-asserted.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // False when the device cannot be opened (busy, gone, refused).
    virtual bool open(const SerialDevice& device) = 0;
    // Harmless on a closed port.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual qint64 bytesAvailable() const = 0;
    // All waiting bytes, not consumed.
    virtual QByteArray peekAll() const = 0;
    // Consumes up to n bytes.
    virtual QByteArray read(qint64 n) = 0;
    // Returns the number of bytes accepted, or -1 when the port cannot take them.
    virtual qint64 write(const QByteArray& bytes) = 0;

signals:
    // Newly buffered bytes.
    void dataReceived();
    // A fault of an open port (adapter pulled out, driver fault).
    void errorOccurred(const QString& description);
};

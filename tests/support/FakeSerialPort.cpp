#include "FakeSerialPort.h"

bool FakeSerialPort::open(const SerialDevice& device) {
    ++openCount;
    if (failOpen)
        return false;
    open_ = true;
    openedDevice = device;
    return true;
}

QByteArray FakeSerialPort::read(qint64 n) {
    const QByteArray taken = incoming_.left(int(n));
    incoming_.remove(0, taken.size());
    return taken;
}

qint64 FakeSerialPort::write(const QByteArray& bytes) {
    if (!open_)
        return -1;
    writes.append(bytes);
    return bytes.size();
}

void FakeSerialPort::feed(const QByteArray& bytes, bool raiseDataReceived) {
    incoming_.append(bytes);
    if (raiseDataReceived)
        emit dataReceived();
}

void FakeDeviceList::setNames(const QStringList& names) {
    list.clear();
    for (const QString& name : names)
        list.append({name, QStringLiteral("/dev/") + name});
}

#pragma once

#include <QByteArray>
#include <QString>

// "00 01 10 10 ..." -> bytes, so a fixture reads like a line of the bus.
inline QByteArray hexBytes(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

// bytes -> "00 01 10 10"
inline QString hexString(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

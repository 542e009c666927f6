#include "datalog/CaptureFormat.h"

#include <QCoreApplication>

namespace Capture {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isPrintableText(const QByteArray& line) {
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\r') || u >= 0x7F)
            return false;
    }
    return true;
}

QString quoted(const QByteArray& text) {
    return QLatin1Char('"') + QString::fromLatin1(text.left(20)) +
           (text.size() > 20 ? QStringLiteral("...\"") : QStringLiteral("\""));
}

} // namespace

qint64 parseSize(const QString& text) {
    QString digits = text.trimmed().toUpper();
    if (digits.endsWith(QLatin1Char('B')))
        digits.chop(1); // "500MB" as well as "500M"
    int shift = 0;
    if (digits.endsWith(QLatin1Char('K')))
        shift = 10;
    else if (digits.endsWith(QLatin1Char('M')))
        shift = 20;
    else if (digits.endsWith(QLatin1Char('G')))
        shift = 30;
    if (shift > 0)
        digits.chop(1);
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok);
    if (!ok || value < 0 || value > (qint64(1) << 40))
        return -1;
    return value << shift;
}

QByteArray formatLine(const Chunk& chunk) {
    QByteArray line;
    line.reserve(24 + chunk.bytes.size() * 3);
    line.append(QByteArray::number(chunk.us));
    line.append(chunk.direction == Direction::Received ? " rx" : " tx");
    for (char c : chunk.bytes) {
        const auto u = static_cast<unsigned char>(c);
        line.append(' ');
        line.append(kHexDigits[u >> 4]);
        line.append(kHexDigits[u & 0x0F]);
    }
    line.append('\n');
    return line;
}

QString parseLine(const QByteArray& raw, qint64 previousUs, Chunk& chunk, bool* isChunk) {
    *isChunk = false;
    if (!isPrintableText(raw))
        return QCoreApplication::translate("CaptureFormat", "not text (binary bytes in the line)");
    const QByteArray line = raw.trimmed();
    if (line.isEmpty() || line.startsWith('#'))
        return QString();

    const QList<QByteArray> fields = line.simplified().split(' ');
    bool ok = false;
    const qint64 us = fields[0].toLongLong(&ok);
    if (!ok || us < 0 || fields[0].startsWith('+'))
        return QCoreApplication::translate("CaptureFormat", "time %1 is not a whole number of microseconds")
            .arg(quoted(fields[0]));
    if (us < previousUs)
        return QCoreApplication::translate("CaptureFormat", "time goes backwards (%1 us after %2 us)")
            .arg(us)
            .arg(previousUs);
    if (fields.size() < 2)
        return QCoreApplication::translate("CaptureFormat", "no direction (rx or tx)");
    Direction direction;
    if (fields[1] == "rx")
        direction = Direction::Received;
    else if (fields[1] == "tx")
        direction = Direction::Written;
    else
        return QCoreApplication::translate("CaptureFormat", "unknown direction %1 (rx or tx expected)")
            .arg(quoted(fields[1]));
    if (fields.size() < 3)
        return QCoreApplication::translate("CaptureFormat", "no bytes");

    QByteArray bytes;
    for (int i = 2; i < fields.size(); ++i) {
        const QByteArray& field = fields[i];
        if (field.size() % 2 != 0)
            return QCoreApplication::translate("CaptureFormat", "odd number of hexadecimal digits in %1")
                .arg(quoted(field));
        for (int k = 0; k < field.size(); k += 2) {
            const int high = hexValue(field[k]);
            const int low = hexValue(field[k + 1]);
            if (high < 0 || low < 0)
                return QCoreApplication::translate("CaptureFormat", "%1 is not hexadecimal")
                    .arg(quoted(field));
            bytes.append(char((high << 4) | low));
        }
    }
    chunk.us = us;
    chunk.direction = direction;
    chunk.bytes = bytes;
    *isChunk = true;
    return QString();
}

} // namespace Capture

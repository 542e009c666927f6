#pragma once

#include <QByteArray>
#include <QVector>

namespace Sim {

// One frame the tool put on the line, as the HPU heard it.
struct HeardFrame {
    QByteArray bytes;
    qint64 startedAtMs; // when its first byte arrived
    bool checksumOk;
};

// Cuts the bytes the tool writes into command frames: 12 11, a function code, a length byte
// L and L more bytes. Bytes that cannot start a command are skipped one at a time, so the
// framer finds the next command after noise. Frames are handed out whatever their checksum;
// the HPU acts only on the good ones.
class CommandFramer {
public:
    // Commands are short: the longest the tool sends is the 9-byte EEPROM write request.
    static constexpr int kMaxLength = 36;

    QVector<HeardFrame> feed(const QByteArray& bytes, qint64 atMs);

private:
    QByteArray buffer_;
    QVector<qint64> arrivals_; // arrival time of each buffered byte
};

} // namespace Sim

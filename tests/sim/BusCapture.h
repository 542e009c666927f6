#pragma once

#include "core/ProgramClock.h"
#include "link/Frame.h"
#include "sim/SimulatedInstallation.h"

#include <QByteArray>
#include <QVector>

// What the simulated devices put on the line, byte by byte with the program time each
// byte arrived, and the frames found in it.
struct BusCapture {
    struct TimedByte {
        qint64 atMs;
        quint8 byte;
    };
    // A frame found on the line: its bytes and when its first and last byte arrived.
    struct TimedFrame {
        QByteArray bytes;
        qint64 firstByteMs;
        qint64 lastByteMs;
        bool checksumOk() const {
            return Frame::checksum(bytes.left(bytes.size() - 2)) ==
                   ((quint8(bytes[bytes.size() - 2]) << 8) | quint8(bytes.back()));
        }
        bool startsWith(const char* hex) const { return bytes.startsWith(QByteArray::fromHex(hex)); }
    };

    BusCapture(Sim::SimulatedInstallation& installation, const ProgramClock& clock) {
        QObject::connect(&installation, &Sim::SimulatedInstallation::bytesSent,
                         [this, &clock](const QByteArray& b) {
                             for (char c : b)
                                 bytes.append({clock.elapsedMs(), quint8(c)});
                         });
    }

    QByteArray stream() const {
        QByteArray s;
        for (const TimedByte& b : bytes)
            s.append(char(b.byte));
        return s;
    }

    // Frames of the devices (00 then a node code, a function code, a length byte), found by
    // skipping anything before a 00 that is followed by a known sender. Frames whose checksum
    // fails are kept: the caller decides.
    QVector<TimedFrame> frames() const {
        QVector<TimedFrame> found;
        int i = 0;
        while (i + 4 <= bytes.size()) {
            const bool header =
                bytes[i].byte == 0x00 && (bytes[i + 1].byte == 0x01 || bytes[i + 1].byte == 0x12);
            if (!header) {
                ++i;
                continue;
            }
            const int size = bytes[i + 3].byte + 4;
            if (i + size > bytes.size())
                break;
            TimedFrame frame{{}, bytes[i].atMs, bytes[i + size - 1].atMs};
            for (int k = 0; k < size; ++k)
                frame.bytes.append(char(bytes[i + k].byte));
            found.append(frame);
            i += size;
        }
        return found;
    }

    QVector<TimedFrame> framesStartingWith(const char* hex) const {
        QVector<TimedFrame> result;
        for (const TimedFrame& f : frames())
            if (f.startsWith(hex))
                result.append(f);
        return result;
    }

    QVector<TimedByte> bytes;
};

inline int word(const QByteArray& frame, int offset) {
    return (quint8(frame[offset]) << 8) | quint8(frame[offset + 1]);
}

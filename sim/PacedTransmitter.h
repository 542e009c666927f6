#pragma once

#include "sim/SimulationSettings.h"

#include <QByteArray>
#include <QObject>

#include <deque>

class ProgramClock;
class Timer;
class TimerFactory;

namespace Sim {

// The devices' side of the line at 9600 bit/s, 8N1: ten bits per byte, so one byte leaves
// every 1.04 ms and a 20-byte converter frame takes about 20.8 ms. Blocks queued by the
// devices go out one after another, never interleaved, each byte handed over when its last
// bit would have arrived, or, delivering whole frames, each block handed over when its last
// byte would have arrived.
class PacedTransmitter : public QObject {
    Q_OBJECT
public:
    static constexpr int kBitsPerByte = 10; // start bit, 8 data bits, stop bit
    static constexpr int kBitsPerSecond = 9600;

    // When the index-th byte (0-based) of a block starting at 0 has fully arrived, in microseconds.
    static qint64 byteEndUs(int index) { return qint64(index + 1) * kBitsPerByte * 1000000 / kBitsPerSecond; }

    PacedTransmitter(TimerFactory& timers, const ProgramClock& clock,
                     ByteDelivery delivery = ByteDelivery::EachByte, QObject* parent = nullptr);

    // Queues a block; its first bit starts no sooner than notBeforeMs and after every block
    // queued before it. The tag comes back with blockSent.
    void send(const QByteArray& block, int tag, qint64 notBeforeMs = 0);
    // Drops what has not left yet.
    void clear();

signals:
    void bytesSent(const QByteArray& bytes);
    // The last byte of a block has left.
    void blockSent(int tag);

private:
    struct PendingByte {
        qint64 dueUs;
        char byte;
        int tag;
        bool lastOfBlock;
    };

    qint64 nowUs() const;
    void sendDue();
    void schedule();

    const ProgramClock& clock_;
    const ByteDelivery delivery_;
    Timer* timer_;
    std::deque<PendingByte> queue_;
    qint64 lineFreeAtUs_ = 0;
};

} // namespace Sim

#include "sim/PacedTransmitter.h"

#include "core/ProgramClock.h"
#include "core/Timer.h"

namespace Sim {

PacedTransmitter::PacedTransmitter(TimerFactory& timers, const ProgramClock& clock, ByteDelivery delivery,
                                   QObject* parent)
    : QObject(parent)
    , clock_(clock)
    , delivery_(delivery)
    , timer_(timers.create(QStringLiteral("SimLinePacing"), 1, this)) {
    connect(timer_, &Timer::timeout, this, &PacedTransmitter::sendDue);
}

qint64 PacedTransmitter::nowUs() const {
    return clock_.elapsedMs() * 1000;
}

void PacedTransmitter::send(const QByteArray& block, int tag, qint64 notBeforeMs) {
    if (block.isEmpty())
        return;
    const qint64 start = qMax(qMax(nowUs(), lineFreeAtUs_), notBeforeMs * 1000);
    const qint64 blockEndUs = start + byteEndUs(block.size() - 1);
    for (int i = 0; i < block.size(); ++i) {
        const qint64 due = delivery_ == ByteDelivery::WholeFrame ? blockEndUs : start + byteEndUs(i);
        queue_.push_back({due, block[i], tag, i == block.size() - 1});
    }
    lineFreeAtUs_ = queue_.back().dueUs;
    schedule();
}

void PacedTransmitter::clear() {
    queue_.clear();
    lineFreeAtUs_ = 0;
    timer_->setMode(Timer::Off);
}

void PacedTransmitter::sendDue() {
    const qint64 now = nowUs();
    QByteArray chunk;
    while (!queue_.empty() && queue_.front().dueUs <= now) {
        const PendingByte byte = queue_.front();
        queue_.pop_front();
        chunk.append(byte.byte);
        if (byte.lastOfBlock) {
            emit bytesSent(chunk);
            chunk.clear();
            emit blockSent(byte.tag);
        }
    }
    if (!chunk.isEmpty())
        emit bytesSent(chunk);
    schedule();
}

void PacedTransmitter::schedule() {
    timer_->setMode(Timer::Off);
    if (queue_.empty())
        return;
    // Wake when the next byte is due, rounded up to the clock's millisecond.
    const qint64 waitUs = queue_.front().dueUs - nowUs();
    timer_->setPeriod(int(qMax<qint64>(1, (waitUs + 999) / 1000)));
    timer_->setMode(Timer::Single);
}

} // namespace Sim

#include "sim/CommandFramer.h"

#include "link/Frame.h"

namespace Sim {

QVector<HeardFrame> CommandFramer::feed(const QByteArray& bytes, qint64 atMs) {
    buffer_.append(bytes);
    arrivals_.insert(arrivals_.size(), bytes.size(), atMs);

    QVector<HeardFrame> frames;
    for (;;) {
        bool startsCommand = !buffer_.isEmpty() && quint8(buffer_[0]) == Frame::kToHpu;
        if (startsCommand && buffer_.size() >= 2)
            startsCommand = quint8(buffer_[1]) == Frame::kFromTool;
        if (startsCommand && buffer_.size() >= 4)
            startsCommand = quint8(buffer_[3]) >= 2 && quint8(buffer_[3]) <= kMaxLength;
        if (!buffer_.isEmpty() && !startsCommand) {
            buffer_.remove(0, 1);
            arrivals_.removeFirst();
            continue;
        }
        if (buffer_.size() < 4)
            break;
        const int size = quint8(buffer_[3]) + 4;
        if (buffer_.size() < size)
            break;
        const QByteArray frame = buffer_.left(size);
        const qint64 received = (quint8(frame[size - 2]) << 8) | quint8(frame[size - 1]);
        frames.append({frame, arrivals_.first(), Frame::checksum(frame.left(size - 2)) == received});
        buffer_.remove(0, size);
        arrivals_.remove(0, size);
    }
    return frames;
}

} // namespace Sim

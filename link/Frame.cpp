#include "link/Frame.h"

#include <algorithm>

namespace Frame {

qint64 checksum(const quint8* bytes, int count) {
    qint64 sum = 0;
    for (int i = 0; i < count; ++i)
        sum += bytes[i];
    return sum % 65535;
}

qint64 checksum(const QByteArray& bytes) {
    return checksum(reinterpret_cast<const quint8*>(bytes.constData()), int(bytes.size()));
}

QByteArray withChecksum(QByteArray frame) {
    const qint64 sum = checksum(frame);
    frame.append(char((sum >> 8) & 0xFF));
    frame.append(char(sum & 0xFF));
    return frame;
}

void assembleCommand(MonitorState& state, quint8 function, quint8 length,
                     std::initializer_list<quint8> payload) {
    ByteArray41& b = state.TrameBufferEmission;
    b[0] = kToHpu;
    b[1] = kFromTool;
    b[2] = function;
    b[3] = length;
    int i = 4;
    for (quint8 byte : payload)
        b[i++] = byte;
    state.TrameBufferEmissionSize = b[3] + 4;
    const int size = int(state.TrameBufferEmissionSize);
    const qint64 sum = checksum(b.data(), size - 2);
    b[size - 2] = quint8((sum >> 8) & 0xFF);
    b[size - 1] = quint8(sum & 0xFF);
    state.emissionRequest = true;
}

QByteArray emissionBytes(const ByteArray41& buffer) {
    const int size = std::min(int(buffer[3]) + 4, kFrameBufferSize);
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), size);
}

qint64 receivedChecksum(const ByteArray41& buffer) {
    const int n = buffer[3];
    if (n + 3 >= kFrameBufferSize)
        return -1;
    return qint64(buffer[n + 2]) * 256 + buffer[n + 3];
}

} // namespace Frame

bool checkCRCreception(MonitorState& state) {
    const ByteArray41& b = state.TrameBuffer;
    const int summed = std::min(int(b[3]) + 2, kFrameBufferSize);
    state.CRC_temp = Frame::checksum(b.data(), summed);
    const qint64 received = Frame::receivedChecksum(b);
    return received >= 0 && received == state.CRC_temp;
}

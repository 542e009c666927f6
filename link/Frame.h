#pragma once

#include "core/MonitorState.h"

#include <QByteArray>

#include <initializer_list>

// Every message on the line: two node bytes, a function code, a length byte L (the bytes
// that follow it, checksum included), a payload and a two-byte checksum, high byte first.
// The total length is L + 4. The checksum is the byte sum of everything before it,
// modulo 65535 (not 65536).
namespace Frame {

// Synchronisation headers of the two broadcasts.
constexpr quint8 kConverterHeader[4] = {0x00, 0x01, 0x10, 0x10}; // converter data frame, 20 bytes
constexpr quint8 kHpuStatusHeader[4] = {0x00, 0x12, 0x10, 0x07}; // HPU status frame, 11 bytes
// Answers recognised by their first three bytes.
constexpr quint8 kEepromReadAnswer[3] = {0x00, 0x12, 0x4C};
constexpr quint8 kEepromWriteAck[3] = {0x00, 0x12, 0x42};

constexpr int kConverterFrameSize = 20;
constexpr int kHpuStatusFrameSize = 11;
constexpr int kEepromReadAnswerSize = 37;

// Function codes of the commands the tool sends to the HPU (node 0x12, from 0x11).
constexpr quint8 kToHpu = 0x12;
constexpr quint8 kFromTool = 0x11;
constexpr quint8 kPump = 0x48;               // 'H'
constexpr quint8 kRelease = 0x4A;            // 'J'
constexpr quint8 kEepromRead = 0x4C;         // 'L'
constexpr quint8 kEepromWrite = 0x45;        // 'E'
constexpr quint8 kEepromWriteAckCode = 0x42; // 'B'

// Sum of count bytes modulo 65535.
qint64 checksum(const quint8* bytes, int count);
qint64 checksum(const QByteArray& bytes);

// A whole frame (header, payload, checksum) with its checksum filled in: for the simulator
// and for tests that write frames as the devices send them.
QByteArray withChecksum(QByteArray headerAndPayload);

// Command assembly: entries 0..3 of TrameBufferEmission become 12 11 f L, the payload
// follows, TrameBufferEmissionSize = L + 4, the checksum goes to the last two entries and
// emissionRequest is raised. Later entries keep what they held.
void assembleCommand(MonitorState& state, quint8 function, quint8 length,
                     std::initializer_list<quint8> payload);

// The bytes of the slot as written to the port: entries 0 .. entry 3 + 3, never past the buffer.
QByteArray emissionBytes(const ByteArray41& buffer);

// The received checksum of the frame in TrameBuffer: entries n + 2 (high) and n + 3 (low),
// n = entry 3; -1 when those entries lie past the buffer.
qint64 receivedChecksum(const ByteArray41& buffer);

} // namespace Frame

// Checks the whole frame in TrameBuffer: the sum of entries 0 .. n + 1 (n = entry 3) modulo
// 65535 goes to CRC_temp, and the frame passes when entries n + 2, n + 3 hold it. A frame
// announcing more than the buffer holds never passes, and nothing past entry 40 is read.
bool checkCRCreception(MonitorState& state);

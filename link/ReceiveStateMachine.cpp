#include "link/ReceiveStateMachine.h"

#include "link/Frame.h"

#include <algorithm>

namespace {

// The two broadcasts the machine synchronises on.
const QByteArray kConverterHeader(reinterpret_cast<const char*>(Frame::kConverterHeader), 4);
const QByteArray kHpuStatusHeader(reinterpret_cast<const char*>(Frame::kHpuStatusHeader), 4);

// Fewer than this many waiting bytes never start a header: a header needs four, and the
// next-header state may consume five (one stray byte before a header).
constexpr qint64 kHeaderThreshold = 4;

bool startsWith(const ByteArray41& buffer, const quint8* header, int count) {
    return std::equal(header, header + count, buffer.begin());
}

// " AA BB ...": each discarded byte as a space and two upper-case hexadecimal digits.
QString junkText(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return QString();
    return QLatin1Char(' ') + QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// "0 12 10 7 1 F4 FF 0 0 2 1D \n": the frame as the raw-stream page shows it, each byte in
// upper-case hexadecimal without leading zero, followed by a space.
QString frameDump(const ByteArray41& buffer, int size) {
    QString line;
    line.reserve(size * 3 + 1);
    for (int i = 0; i < size; ++i) {
        line += QString::number(buffer[i], 16).toUpper().right(2);
        line += QLatin1Char(' ');
    }
    line += QLatin1Char('\n');
    return line;
}

// Decimal with at least two digits.
QString twoDigits(qint64 value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

void prepareEmission(MonitorState& state) {
    state.TrameBufferEmissionSize = qint64(state.TrameBufferEmission[3]) + 4;
    state.strbufferEmission = Frame::emissionBytes(state.TrameBufferEmission);
}

ReceiveStateMachine::ReceiveStateMachine(MonitorState& state, SerialPort& port, RawStreamTrace& trace,
                                         const ProgramClock& clock, FrameDispatcher& dispatcher)
    : state_(state)
    , port_(port)
    , trace_(trace)
    , clock_(clock)
    , dispatcher_(dispatcher) {}

void ReceiveStateMachine::Update_RS485_State_Machine() {
    // Fixed order: a block may hand over to a later one within the same call, never to an
    // earlier one, so after a frame the next header waits for the next tick.
    if (state_.StatutRS485 == StatutRS485::Search)
        searchHeader();
    if (state_.StatutRS485 == StatutRS485::NextHeader)
        readNextHeader();
    if (state_.StatutRS485 == StatutRS485::Body)
        readBody();
    if (state_.StatutRS485 == StatutRS485::Check)
        checkAndDispatch();
    if (state_.StatutRS485 == StatutRS485::EmissionPreparation)
        prepareNextEmission();
}

void ReceiveStateMachine::runUntilWaiting() {
    for (;;) {
        const qint64 waiting = port_.bytesAvailable();
        const StatutRS485 status = state_.StatutRS485;
        Update_RS485_State_Machine();
        if (port_.bytesAvailable() == 0 || (port_.bytesAvailable() == waiting && state_.StatutRS485 == status))
            return;
    }
}

void ReceiveStateMachine::searchHeader() {
    if (port_.bytesAvailable() <= kHeaderThreshold)
        return;
    const QByteArray waiting = port_.peekAll();
    const qsizetype converterAt = waiting.indexOf(kConverterHeader);
    const qsizetype hpuAt = waiting.indexOf(kHpuStatusHeader);
    qsizetype headerAt = converterAt;
    if (hpuAt >= 0 && (headerAt < 0 || hpuAt < headerAt))
        headerAt = hpuAt; // the earlier of the two headers wins

    if (headerAt < 0) {
        // No header anywhere: a partly arrived header goes with the garbage; a later frame
        // brings synchronisation back.
        trace(QStringLiteral(" junk1: ") + discard(-1));
        return;
    }
    if (headerAt > 0) {
        // Only the bytes before the header go; the header is taken at the next call.
        trace(QStringLiteral(" junk2: ") + discard(headerAt));
        return;
    }
    readInto(0, 4);
    state_.TrameBufferSize = qint64(state_.TrameBuffer[3]) + 4;
    state_.StatutRS485 = StatutRS485::Body;
}

void ReceiveStateMachine::readNextHeader() {
    if (port_.bytesAvailable() <= kHeaderThreshold)
        return;
    ByteArray41& b = state_.TrameBuffer;
    readInto(0, 2);

    // One stray byte before a frame (line idle noise) is dropped, at most once per frame.
    QString stray;
    if (b[1] == 0x00) {
        if (b[0] == 0x00)
            stray = QStringLiteral(" 00 en trop ");
        else if (b[0] == 0xFF)
            stray = QStringLiteral(" FF en trop ");
        else if (b[0] == 0xFE)
            stray = QStringLiteral(" FE en trop ");
    }
    if (!stray.isEmpty()) {
        ++counters_.junkBytes;
        b[0] = b[1];
        b[1] = readByte();
        if (rawStreamShown())
            trace(stray);
    }

    // The header is not compared here: a wrong one fails the checksum.
    readInto(2, 2);
    state_.TrameBufferSize = qint64(b[3]) + 4;
    if (state_.TrameBufferSize <= kFrameBufferSize)
        state_.StatutRS485 = StatutRS485::Body;
    else
        dropOverlongFrame();
}

void ReceiveStateMachine::readBody() {
    if (state_.TrameBufferSize > kFrameBufferSize || state_.TrameBufferSize < 4) {
        // Cannot be held in TrameBuffer: treated like an over-long announced total.
        dropOverlongFrame();
        return;
    }
    const int rest = int(state_.TrameBufferSize) - 4;
    if (port_.bytesAvailable() < rest)
        return; // no time-out: the stale-data check is the only reaction to silence
    readInto(4, rest);
    if (rawStreamShown())
        trace_.prepend(frameDump(state_.TrameBuffer, int(state_.TrameBufferSize)));
    state_.StatutRS485 = StatutRS485::Check;
}

void ReceiveStateMachine::checkAndDispatch() {
    if (!checkCRCreception(state_)) {
        // The frame is consumed; nothing it carries is used.
        ++counters_.checksumErrors;
        trace(QStringLiteral("erreur CRC : ") + twoDigits(Frame::receivedChecksum(state_.TrameBuffer)) +
              QStringLiteral("au lieu de ") + twoDigits(state_.CRC_temp));
        state_.StatutRS485 = StatutRS485::Search;
        return;
    }

    const ByteArray41& b = state_.TrameBuffer;
    if (startsWith(b, Frame::kConverterHeader, 4)) {
        ++counters_.converterFrames;
        dispatcher_.converterDataFrame();
        state_.timeLastDataCV = clock_.elapsedMs();
    } else if (startsWith(b, Frame::kHpuStatusHeader, 4)) {
        ++counters_.hpuFrames;
        dispatcher_.hpuStatusFrame();
        state_.presenceHPU = true;
        state_.timeLastDataHPU = clock_.elapsedMs();
    } else if (startsWith(b, Frame::kEepromReadAnswer, 3)) {
        // Only the whole answer is believed: a shorter one would put its checksum, or
        // whatever an earlier answer left, where parameters are read.
        if (state_.TrameBufferSize == Frame::kEepromReadAnswerSize) {
            dispatcher_.eepromReadAnswer();
            state_.reponseHPU = true;
            trace(QStringLiteral("envoi EEPROM valide"));
        } else {
            dispatcher_.eepromReadAnswerIncomplete();
            trace(QStringLiteral("envoi EEPROM incomplet"));
        }
        state_.timeLastDataHPU = clock_.elapsedMs();
    } else if (startsWith(b, Frame::kEepromWriteAck, 3)) {
        dispatcher_.eepromWriteAcknowledged();
        state_.reponseecritureHPU = true;
        trace(QStringLiteral("ecriture EEPROM pris en compte"));
        state_.timeLastDataHPU = clock_.elapsedMs();
    }
    // Any other valid frame (the adapter's echo of our own command) is consumed silently.
    state_.StatutRS485 = StatutRS485::EmissionPreparation;
}

void ReceiveStateMachine::prepareNextEmission() {
    prepareEmission(state_);
    state_.StatutRS485 = StatutRS485::NextHeader;
}

void ReceiveStateMachine::readInto(int first, int count) {
    Q_ASSERT(first >= 0 && first + count <= kFrameBufferSize);
    count = std::clamp(count, 0, kFrameBufferSize - first);
    const QByteArray bytes = port_.read(count);
    counters_.bytesReceived += quint64(bytes.size());
    for (int i = 0; i < count; ++i)
        state_.TrameBuffer[first + i] = i < bytes.size() ? quint8(bytes[i]) : 0;
}

quint8 ReceiveStateMachine::readByte() {
    const QByteArray bytes = port_.read(1);
    counters_.bytesReceived += quint64(bytes.size());
    return bytes.isEmpty() ? 0 : quint8(bytes[0]);
}

QString ReceiveStateMachine::discard(qint64 count) {
    const QByteArray bytes = port_.read(count < 0 ? port_.bytesAvailable() : count);
    counters_.bytesReceived += quint64(bytes.size());
    counters_.junkBytes += quint64(bytes.size());
    return junkText(bytes);
}

void ReceiveStateMachine::dropOverlongFrame() {
    ++counters_.overlongFrames;
    state_.StatutRS485 = StatutRS485::Search;
    trace(QStringLiteral(" junk4: ") + discard(-1));
}

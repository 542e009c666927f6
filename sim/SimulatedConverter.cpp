#include "sim/SimulatedConverter.h"

#include "link/Frame.h"

#include <QtMath>

namespace Sim {

namespace {

// A value swinging around its centre with the given amplitude once per period.
double swing(qint64 ms, double centre, double amplitude, double periodSeconds, double phase = 0.0) {
    return centre + amplitude * qSin(2.0 * M_PI * (double(ms) / 1000.0) / periodSeconds + phase);
}

void appendWord(QByteArray& frame, double raw) {
    const int word = qBound(0, qRound(raw), 0xFFFF);
    frame.append(char((word >> 8) & 0xFF));
    frame.append(char(word & 0xFF));
}

} // namespace

ConverterReading SimulatedConverter::readingAt(qint64 ms) {
    ConverterReading r;
    r.inputVoltage = swing(ms, 47.5, 2.2, 67.0);       // 45.3 .. 49.7 V
    r.outputVoltage = swing(ms, 27.0, 0.4, 41.0, 1.0); // 26.6 .. 27.4 V
    r.outputCurrent = swing(ms, 3.5, 1.2, 53.0, 2.0);  // 2.3 .. 4.7 A
    r.temperature = swing(ms, 35.0, 1.5, 127.0, 0.5);  // 33.5 .. 36.5 degrees
    r.speed = swing(ms, 1500.0, 90.0, 37.0, 1.5);      // 1410 .. 1590 rpm
    return r;
}

QByteArray SimulatedConverter::dataFrame(qint64 ms) const {
    const ConverterReading r = readingAt(ms);
    QByteArray frame(reinterpret_cast<const char*>(Frame::kConverterHeader), 4);
    appendWord(frame, r.inputVoltage * 10.0);
    if (protocol_ == ProtocolVersion::V1) {
        appendWord(frame, r.outputVoltage * 10.0);
        appendWord(frame, r.outputCurrent * 10.0);
        appendWord(frame, 0.0); // not used by the tool
        appendWord(frame, r.temperature * 10.0);
        appendWord(frame, r.speed / 15.0);
        appendWord(frame, (r.speed + 15.0) / 15.0); // the second speed sensor reads a step higher
    } else {
        appendWord(frame, r.outputVoltage * 1000.0);
        appendWord(frame, r.outputCurrent * 1000.0);
        appendWord(frame, 0.0);
        appendWord(frame, r.temperature * 10.0);
        appendWord(frame, r.speed / 1.5);
        appendWord(frame, 0.0); // no second speed field in this version
    }
    return Frame::withChecksum(frame);
}

} // namespace Sim

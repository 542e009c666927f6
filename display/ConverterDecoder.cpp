#include "display/ConverterDecoder.h"

#include <cmath>

namespace {

// Unsigned 16-bit field, high byte first.
qint64 raw16(const ByteArray41& frame, int index) {
    return qint64(frame[index]) * 256 + frame[index + 1];
}

} // namespace

ConverterReading decodeConverterFrame(const ByteArray41& frame) {
    ConverterReading reading;
    // The input voltage and the temperature have the same scale in both versions: they are
    // read from every frame.
    reading.U_in = raw16(frame, 4) / 10.0;
    reading.TempCV = raw16(frame, 12) / 10.0;

    const qint64 outputVoltage = raw16(frame, 6);
    if (outputVoltage > 70 && outputVoltage < 350) {
        reading.ProtocoleVersion = QStringLiteral("V1");
        reading.U_out = outputVoltage / 10.0;
        reading.I_out = raw16(frame, 8) / 10.0;
        reading.RPM1 = raw16(frame, 14) * 15;
        reading.RPM2 = raw16(frame, 16) * 15;
    } else if (outputVoltage > 7000 && outputVoltage < 35000) {
        reading.ProtocoleVersion = QStringLiteral("V2");
        reading.U_out = outputVoltage / 1000.0;
        reading.I_out = raw16(frame, 8) / 1000.0;
        reading.RPM1 = static_cast<qint64>(std::trunc(raw16(frame, 14) * 1.5));
        reading.RPM2 = 0; // version 2 reports one speed only
    }
    // Neither version: the scale of the output side and the speeds is unknown.
    if (reading.U_out && reading.I_out)
        reading.P_out = *reading.U_out * *reading.I_out;
    return reading;
}

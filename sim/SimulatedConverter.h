#pragma once

#include "sim/SimulationSettings.h"

#include <QByteArray>

namespace Sim {

// What the converter measures at one moment, in physical units.
struct ConverterReading {
    double inputVoltage;  // V, the generator ("hydro") voltage
    double outputVoltage; // V
    double outputCurrent; // A
    double temperature;   // degrees Celsius
    double speed;         // rpm
};

// The power converter: a generator turning at about 1500 rpm, charging a 24 V battery bank.
// Its values drift slowly and smoothly with time, each on its own slow cycle, so the tool's
// display moves without jumping. The same time always gives the same reading.
class SimulatedConverter {
public:
    explicit SimulatedConverter(ProtocolVersion protocol = ProtocolVersion::V2)
        : protocol_(protocol) {}

    ProtocolVersion protocol() const { return protocol_; }

    static ConverterReading readingAt(qint64 ms);

    // The 20-byte data frame 00 01 10 10 ... with its checksum, scaled for the protocol:
    // "V1" in tenths of volts and amperes and speeds in steps of 15 rpm on both speed
    // fields; "V2" with output voltage and current in thousandths and one speed field in
    // steps of 1.5 rpm.
    QByteArray dataFrame(qint64 ms) const;

private:
    ProtocolVersion protocol_;
};

} // namespace Sim

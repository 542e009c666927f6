#pragma once

#include <QByteArray>
#include <QMap>

namespace Sim {

// The HPU's EEPROM: its 17 tuning parameters at addresses 29 to 45, with the factory
// values at start, plus the board number and software version. Parameters whose range fits
// one byte are stored, and answered, as one byte; the others as 16 bits.
class SimulatedEeprom {
public:
    static constexpr int kFirstAddress = 29;
    static constexpr int kLastAddress = 45;

    SimulatedEeprom(quint16 boardNumber, quint16 softwareVersion);

    static bool isParameter(int address) { return address >= kFirstAddress && address <= kLastAddress; }
    static bool isOneByte(int address);
    static quint16 factoryValue(int address);

    // -1 for an address that holds no parameter.
    int value(int address) const;
    // Stores the value as the parameter's width holds it (a one-byte parameter keeps the
    // low byte). False, and nothing stored, for an address that holds no parameter.
    bool store(int address, quint16 value);

    quint16 boardNumber() const { return boardNumber_; }
    quint16 softwareVersion() const { return softwareVersion_; }

    // The 31 payload bytes of the read answer: parameters 29 to 45 in address order, one or
    // two bytes each (high byte first), then the board number and the software version.
    QByteArray readAnswerPayload() const;

private:
    QMap<int, quint16> values_;
    quint16 boardNumber_;
    quint16 softwareVersion_;
};

} // namespace Sim

#pragma once

#include "sim/SimulatedEeprom.h"

#include <QByteArray>

namespace Sim {

// The hydraulic power unit. Left alone it holds its oil pressure and runs in automatic
// mode. A pump command from the tool switches it to manual mode and runs the pump for a
// few seconds, raising the pressure up to its PRESSION_MAX parameter; a release command
// opens the valve for a few seconds, letting the pressure fall towards zero. Its status
// frame reports the pressure, the mode (00 manual, FF automatic), the pitch correction
// under way (F0 pumping, 0F releasing, 00 none) and, as the pitch design byte, its
// TYPE_PALES parameter. It answers EEPROM read requests with its table and stores writes.
class SimulatedHpu {
public:
    enum class Action { None, Pumping, Releasing };

    static constexpr int kActionMs = 3000;
    static constexpr double kPumpRate = 100.0;    // 0.01 bar per second
    static constexpr double kReleaseRate = 150.0; // 0.01 bar per second
    static constexpr double kInitialPressure = 250.0;

    SimulatedHpu(quint16 boardNumber, quint16 softwareVersion);

    // The 11-byte status frame 00 12 10 07 ... as it stands at ms.
    QByteArray statusFrame(qint64 ms);
    // The HPU's reaction to a command whose checksum is good: the frame it sends back (the
    // EEPROM read answer or write acknowledgement), or nothing.
    QByteArray react(const QByteArray& command, qint64 ms);

    double pressureBar(qint64 ms);
    Action action(qint64 ms);
    SimulatedEeprom& eeprom() { return eeprom_; }

    static QByteArray readAnswer(const SimulatedEeprom& eeprom); // 00 12 4C 21 + 31 bytes + checksum
    static QByteArray writeAcknowledgement();                    // 00 12 42 02 + checksum

private:
    void advanceTo(qint64 ms);
    void startAction(Action action, qint64 ms);

    SimulatedEeprom eeprom_;
    double pressure_ = kInitialPressure; // 0.01 bar
    Action action_ = Action::None;
    qint64 actionEndsAt_ = 0;
    qint64 updatedAt_ = 0;
};

} // namespace Sim

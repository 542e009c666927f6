#include "sim/SimulatedHpu.h"

#include "link/Frame.h"

#include <QtGlobal>

namespace Sim {

namespace {

constexpr int kPressureMaxAddress = 30; // PRESSION_MAX
constexpr int kPitchTypeAddress = 29;   // TYPE_PALES

constexpr quint8 kModeManual = 0x00;
constexpr quint8 kModeAuto = 0xFF;
constexpr quint8 kPitchNone = 0x00;
constexpr quint8 kPitchPump = 0xF0;
constexpr quint8 kPitchRelease = 0x0F;

bool isCommand(const QByteArray& command, quint8 function, int size) {
    return command.size() == size && quint8(command[0]) == Frame::kToHpu &&
           quint8(command[1]) == Frame::kFromTool && quint8(command[2]) == function &&
           quint8(command[3]) == size - 4;
}

} // namespace

SimulatedHpu::SimulatedHpu(quint16 boardNumber, quint16 softwareVersion)
    : eeprom_(boardNumber, softwareVersion) {}

void SimulatedHpu::advanceTo(qint64 ms) {
    if (ms <= updatedAt_)
        return;
    if (action_ != Action::None) {
        const qint64 until = qMin(ms, actionEndsAt_);
        const double seconds = double(until - updatedAt_) / 1000.0;
        if (action_ == Action::Pumping)
            pressure_ = qMin(pressure_ + kPumpRate * seconds, double(eeprom_.value(kPressureMaxAddress)));
        else
            pressure_ = qMax(pressure_ - kReleaseRate * seconds, 0.0);
        if (ms >= actionEndsAt_)
            action_ = Action::None;
    }
    updatedAt_ = ms;
}

void SimulatedHpu::startAction(Action action, qint64 ms) {
    advanceTo(ms);
    action_ = action;
    actionEndsAt_ = ms + kActionMs;
}

double SimulatedHpu::pressureBar(qint64 ms) {
    advanceTo(ms);
    return qRound(pressure_) / 100.0;
}

SimulatedHpu::Action SimulatedHpu::action(qint64 ms) {
    advanceTo(ms);
    return action_;
}

QByteArray SimulatedHpu::statusFrame(qint64 ms) {
    advanceTo(ms);
    const int pressure = qBound(0, qRound(pressure_), 0xFFFF);
    QByteArray frame(reinterpret_cast<const char*>(Frame::kHpuStatusHeader), 4);
    frame.append(char(pressure >> 8));
    frame.append(char(pressure & 0xFF));
    frame.append(char(action_ == Action::None ? kModeAuto : kModeManual));
    frame.append(char(action_ == Action::Pumping     ? kPitchPump
                      : action_ == Action::Releasing ? kPitchRelease
                                                     : kPitchNone));
    frame.append(char(eeprom_.value(kPitchTypeAddress) & 0xFF));
    return Frame::withChecksum(frame);
}

QByteArray SimulatedHpu::react(const QByteArray& command, qint64 ms) {
    if (isCommand(command, Frame::kPump, 6)) {
        startAction(Action::Pumping, ms);
        return {};
    }
    if (isCommand(command, Frame::kRelease, 6)) {
        startAction(Action::Releasing, ms);
        return {};
    }
    if (isCommand(command, Frame::kEepromRead, 6))
        return readAnswer(eeprom_);
    if (isCommand(command, Frame::kEepromWrite, 9)) {
        const int address = quint8(command[4]);
        const quint16 value = quint16((quint8(command[5]) << 8) | quint8(command[6]));
        // A write to an address that holds no parameter is not acknowledged.
        return eeprom_.store(address, value) ? writeAcknowledgement() : QByteArray();
    }
    return {};
}

QByteArray SimulatedHpu::readAnswer(const SimulatedEeprom& eeprom) {
    const QByteArray payload = eeprom.readAnswerPayload();
    QByteArray frame(reinterpret_cast<const char*>(Frame::kEepromReadAnswer), 3);
    frame.append(char(payload.size() + 2));
    frame.append(payload);
    return Frame::withChecksum(frame);
}

QByteArray SimulatedHpu::writeAcknowledgement() {
    QByteArray frame(reinterpret_cast<const char*>(Frame::kEepromWriteAck), 3);
    frame.append(char(0x02));
    return Frame::withChecksum(frame);
}

} // namespace Sim

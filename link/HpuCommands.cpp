#include "link/HpuCommands.h"

#include "link/Frame.h"

#include <algorithm>

namespace HpuCommands {

std::optional<Command> commandOf(quint8 to, quint8 from, quint8 function) {
    if (to != Frame::kToHpu || from != Frame::kFromTool)
        return std::nullopt;
    switch (function) {
    case Frame::kPump:
        return Command::Pump;
    case Frame::kRelease:
        return Command::Release;
    case Frame::kEepromRead:
        return Command::EepromRead;
    case Frame::kEepromWrite:
        return Command::EepromWrite;
    default:
        return std::nullopt;
    }
}

QString name(Command command) {
    switch (command) {
    case Command::Pump:
        return QStringLiteral("pump");
    case Command::Release:
        return QStringLiteral("release");
    case Command::EepromRead:
        return QStringLiteral("EEPROM read");
    case Command::EepromWrite:
        return QStringLiteral("EEPROM write");
    }
    return QString();
}

void consignePOMPE_HPU(MonitorState& state) {
    Frame::assembleCommand(state, Frame::kPump, 2, {});
}

void consigneRELEASE_HPU(MonitorState& state) {
    Frame::assembleCommand(state, Frame::kRelease, 2, {});
}

void lectureEEPROM_HPU(MonitorState& state) {
    Frame::assembleCommand(state, Frame::kEepromRead, 2, {});
}

void ecritureEEPROM_HPU(MonitorState& state, qint64 address, qint64 value) {
    Frame::assembleCommand(state, Frame::kEepromWrite, 5,
                           {quint8(address & 0xFF), quint8((value >> 8) & 0xFF), quint8(value & 0xFF)});
}

void stockAnswerHPU(MonitorState& state) {
    const int size = std::min(int(state.TrameBuffer[3]) + 4, kFrameBufferSize);
    std::copy_n(state.TrameBuffer.begin(), size, state.TrameBufferEEPROM.begin());
}

QString describe(const ByteArray41& slot) {
    const std::optional<Command> command = commandOf(slot[0], slot[1], slot[2]);
    if (!command)
        return QString();
    if (*command == Command::EepromWrite)
        return QStringLiteral("%1 %2 = %3").arg(name(*command)).arg(slot[4]).arg((int(slot[5]) << 8) | slot[6]);
    return name(*command);
}

QString pendingText(const MonitorState& state) {
    if (!state.emissionRequest)
        return QString();
    // Shown to the technician, so in the user's language; describe() stays English for the journal.
    const ByteArray41& slot = state.TrameBufferEmission;
    const std::optional<Command> command = commandOf(slot[0], slot[1], slot[2]);
    if (!command)
        return QCoreApplication::translate("HpuCommands", "command pending");
    switch (*command) {
    case Command::Pump:
        return QCoreApplication::translate("HpuCommands", "pump command pending");
    case Command::Release:
        return QCoreApplication::translate("HpuCommands", "release command pending");
    case Command::EepromRead:
        return QCoreApplication::translate("HpuCommands", "EEPROM read pending");
    case Command::EepromWrite:
        return QCoreApplication::translate("HpuCommands", "EEPROM write pending");
    }
    return QCoreApplication::translate("HpuCommands", "command pending");
}

} // namespace HpuCommands

#include "link/HpuCommands.h"

#include "link/Frame.h"

#include <algorithm>

namespace HpuCommands {

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
    if (slot[0] != Frame::kToHpu || slot[1] != Frame::kFromTool)
        return QString();
    switch (slot[2]) {
    case Frame::kPump:
        return QStringLiteral("pump");
    case Frame::kRelease:
        return QStringLiteral("release");
    case Frame::kEepromRead:
        return QStringLiteral("EEPROM read");
    case Frame::kEepromWrite:
        return QStringLiteral("EEPROM write %1 = %2").arg(slot[4]).arg((int(slot[5]) << 8) | slot[6]);
    default:
        return QString();
    }
}

QString pendingText(const MonitorState& state) {
    if (!state.emissionRequest)
        return QString();
    // Shown to the technician, so in the user's language; describe() stays English for the journal.
    const QString command = describe(state.TrameBufferEmission);
    if (command == QLatin1String("pump"))
        return QCoreApplication::translate("HpuCommands", "pump command pending");
    if (command == QLatin1String("release"))
        return QCoreApplication::translate("HpuCommands", "release command pending");
    if (command == QLatin1String("EEPROM read"))
        return QCoreApplication::translate("HpuCommands", "EEPROM read pending");
    if (command.startsWith(QLatin1String("EEPROM write")))
        return QCoreApplication::translate("HpuCommands", "EEPROM write pending");
    return QCoreApplication::translate("HpuCommands", "command pending");
}

} // namespace HpuCommands

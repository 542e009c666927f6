#pragma once

#include "core/MonitorState.h"

#include <QString>

#include <optional>

// The builders of the outgoing slot. Each overwrites TrameBufferEmission and raises
// emissionRequest; the frame leaves in the quiet gap after the next converter frame.
namespace HpuCommands {

// The commands the tool sends to the HPU.
enum class Command { Pump, Release, EepromRead, EepromWrite };

// The command a frame carries from its first three bytes (to the HPU, from the tool, the
// function code); none for any other frame.
std::optional<Command> commandOf(quint8 to, quint8 from, quint8 function);
// The command's name as the user, the journal and the simulator's trace know it: "pump",
// "release", "EEPROM read", "EEPROM write".
QString name(Command command);

void consignePOMPE_HPU(MonitorState& state);   // 12 11 48 02 00 6D
void consigneRELEASE_HPU(MonitorState& state); // 12 11 4A 02 00 6F
void lectureEEPROM_HPU(MonitorState& state);   // 12 11 4C 02 00 71
// 12 11 45 05 AA VH VL CH CL: the address unchanged in one byte, the low 16 bits of the value.
void ecritureEEPROM_HPU(MonitorState& state, qint64 address, qint64 value);

// Copies the EEPROM read answer in TrameBuffer (entries 0 .. entry 3 + 3) to TrameBufferEEPROM.
void stockAnswerHPU(MonitorState& state);

// The command held in an outgoing slot, as the user knows it: "pump", "release", "EEPROM read",
// "EEPROM write 30 = 750"; empty for anything else.
QString describe(const ByteArray41& slot);
// What the status line says about a command still waiting to be written: "pump command
// pending", ...; empty when none waits.
QString pendingText(const MonitorState& state);

} // namespace HpuCommands

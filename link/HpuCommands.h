#pragma once

#include "core/MonitorState.h"

#include <QString>

// The builders of the outgoing slot. Each overwrites TrameBufferEmission and raises
// emissionRequest; the frame leaves in the quiet gap after the next converter frame.
namespace HpuCommands {

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

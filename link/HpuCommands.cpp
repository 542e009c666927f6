#include "link/HpuCommands.h"

#include "link/Frame.h"

#include <algorithm>

namespace HpuCommands {

void consignePOMPE_HPU(MonitorState& state) { Frame::assembleCommand(state, Frame::kPump, 2, {}); }

void consigneRELEASE_HPU(MonitorState& state) { Frame::assembleCommand(state, Frame::kRelease, 2, {}); }

void lectureEEPROM_HPU(MonitorState& state) { Frame::assembleCommand(state, Frame::kEepromRead, 2, {}); }

void ecritureEEPROM_HPU(MonitorState& state, qint64 address, qint64 value) {
    Frame::assembleCommand(state, Frame::kEepromWrite, 5,
                           {quint8(address & 0xFF), quint8((value >> 8) & 0xFF), quint8(value & 0xFF)});
}

void stockAnswerHPU(MonitorState& state) {
    const int size = std::min(int(state.TrameBuffer[3]) + 4, kFrameBufferSize);
    std::copy_n(state.TrameBuffer.begin(), size, state.TrameBufferEEPROM.begin());
}

} // namespace HpuCommands

#pragma once

#include "Hex.h"
#include "core/MonitorState.h"
#include "display/ConverterDecoder.h"
#include "display/HpuDecoder.h"
#include "link/Frame.h"
#include "monitor/ReadingsRecord.h"
#include "monitor/ShownControls.h"

#include <algorithm>

// Puts a frame into TrameBuffer as the receive state machine leaves it: the bytes as on the
// line ("00 01 10 10 ..." without the checksum), followed by their checksum.
inline void loadFrame(MonitorState& state, const char* headerAndPayload) {
    const QByteArray frame = Frame::withChecksum(hexBytes(headerAndPayload));
    state.TrameBuffer.fill(0);
    std::copy_n(reinterpret_cast<const quint8*>(frame.constData()),
                std::min<qsizetype>(frame.size(), kFrameBufferSize), state.TrameBuffer.begin());
}

// The frame in TrameBuffer decoded and kept in the record, as the monitor does on its arrival.
inline void keepConverterFrame(MonitorState& state) {
    keepConverterReading(state, decodeConverterFrame(state.TrameBuffer));
}
inline void keepHpuStatusFrame(MonitorState& state) {
    keepHpuReading(state, decodeHpuStatusFrame(state.TrameBuffer));
}

inline QLocale pointLocale() {
    return QLocale::c();
}
inline QLocale commaLocale() {
    return QLocale(QLocale::French, QLocale::France);
}

// The values page computed from the record, no alarm evaluated yet.
inline void show(const MonitorState& state, ControlsState& controls, const QLocale& locale = pointLocale()) {
    showReadings(controls, state, AlarmStates{}, locale);
}
// A device found silent: its values forgotten and the page computed again.
inline void stopConverterData(MonitorState& state, ControlsState& controls) {
    forgetConverterValues(state);
    show(state, controls);
}
inline void stopHpuData(MonitorState& state, ControlsState& controls) {
    forgetHpuValues(state);
    show(state, controls);
}

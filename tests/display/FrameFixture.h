#pragma once

#include "Hex.h"
#include "core/MonitorState.h"
#include "link/Frame.h"

#include <algorithm>

// Puts a frame into TrameBuffer as the receive state machine leaves it: the bytes as on the
// line ("00 01 10 10 ..." without the checksum), followed by their checksum.
inline void loadFrame(MonitorState& state, const char* headerAndPayload) {
    const QByteArray frame = Frame::withChecksum(hexBytes(headerAndPayload));
    state.TrameBuffer.fill(0);
    std::copy_n(reinterpret_cast<const quint8*>(frame.constData()),
                std::min<qsizetype>(frame.size(), kFrameBufferSize), state.TrameBuffer.begin());
}

inline QLocale pointLocale() {
    return QLocale::c();
}
inline QLocale commaLocale() {
    return QLocale(QLocale::French, QLocale::France);
}

#pragma once

#include "core/ControlsState.h"
#include "core/MonitorState.h"

#include <QLocale>

// The converter data frame (00 01 10 10, 20 bytes) turned into the converter measurements.
// The converter speaks one of two protocol versions, told apart by the magnitude of the raw
// output voltage alone: tenths of a volt ("V1", 70 < raw < 350) or millivolts ("V2",
// 7000 < raw < 35000), both bounds exclusive.
//
// Decodes the converter data frame in state.TrameBuffer: U_in always; version V1 (70<raw<350)
// or V2 (7000<raw<35000) from bytes 6-7, else keeps the other values; P_out = U_out*I_out.
void decodeConverterFrame(MonitorState& state);

// Makes the six converter value labels visible and writes their texts with their masks.
void showConverterValues(const MonitorState& state, ControlsState& controls,
                         const QLocale& locale = QLocale());

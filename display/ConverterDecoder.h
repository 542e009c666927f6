#pragma once

#include "core/ControlsState.h"
#include "core/MonitorState.h"

#include <QLocale>

// The converter data frame (00 01 10 10, 20 bytes) turned into the converter measurements.
// The converter speaks one of two protocol versions, told apart by the magnitude of the raw
// output voltage alone: tenths of a volt ("V1", 70 < raw < 350) or millivolts ("V2",
// 7000 < raw < 35000), both bounds exclusive.
//
// Decodes the converter data frame in state.TrameBuffer. U_in and TempCV have the same scale
// in both versions and are read from every frame; U_out, I_out, RPM1 and RPM2 only from a
// frame of either version. A frame of neither version (an output at 0 V, a 48 V bank) leaves
// them kNotKnown, as for a silent converter: an earlier frame's values must not pass for
// this one's. P_out = U_out x I_out when both are known, else kNotKnown.
void decodeConverterFrame(MonitorState& state);

// Shows each of the six converter value labels with its masked text when its value is known,
// and hides it when not: the -1 marker is never written as a measurement.
void showConverterValues(const MonitorState& state, ControlsState& controls,
                         const QLocale& locale = QLocale());

#pragma once

#include "core/MonitorState.h"
#include "core/Readings.h"

// The converter data frame (00 01 10 10, 20 bytes) turned into the converter measurements.
// The converter speaks one of two protocol versions, told apart by the magnitude of the raw
// output voltage alone: tenths of a volt ("V1", 70 < raw < 350) or millivolts ("V2",
// 7000 < raw < 35000), both bounds exclusive.
//
// U_in and TempCV have the same scale in both versions and are read from every frame; U_out,
// I_out, RPM1 and RPM2 only from a frame of either version. A frame of neither version (an
// output at 0 V, a 48 V bank) leaves them empty, as for a silent converter, with an empty
// ProtocoleVersion: an earlier frame's values must not pass for this one's. P_out =
// U_out x I_out when both are known.
ConverterReading decodeConverterFrame(const ByteArray41& frame);

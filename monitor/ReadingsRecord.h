#pragma once

#include "core/MonitorState.h"
#include "core/Readings.h"

// The state record keeps each measurement with the -1 marker for "not known", as the log
// writes it. These are the one way readings go into the record and come back out typed.

// The converter's values from a frame's reading; ProtocoleVersion is kept when the reading
// has none.
void keepConverterReading(MonitorState& state, const ConverterReading& reading);
// Pression, and ModeHPU and Pitch when listed; the buttons' captions from the pitch design
// with the ValeurModeCalage of now.
void keepHpuReading(MonitorState& state, const HpuReading& reading);

// A silent converter: its values not known. ProtocoleVersion stays.
void forgetConverterValues(MonitorState& state);
// A silent HPU: Pression not known, ModeHPU and Pitch a single space, presenceHPU false.
void forgetHpuValues(MonitorState& state);

// What the record holds of the converter, typed: the -1 marker is an empty value.
ConverterReading converterReading(const MonitorState& state);
// A status frame was heard since the HPU was last found silent (or since start, or Connect).
bool hpuStatusKnown(const MonitorState& state);

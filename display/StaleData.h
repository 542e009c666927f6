#pragma once

#include "core/ControlsState.h"
#include "core/MonitorState.h"

// When a device goes silent its last values must not stay on screen as if current. Each
// device is watched through the stamp of its last valid frame (timeLastDataCV,
// timeLastDataHPU); the TimerLog tick tests them while connected.

constexpr qint64 kStaleLimitMs = 3000; // exclusive: exactly 3000 ms is fresh

// True when more than kStaleLimitMs have passed since lastDataMs.
bool isStale(qint64 nowMs, qint64 lastDataMs);

// Converter measurements to the stale marker -1 and its six value labels hidden; the name
// labels, ProtocoleVersion, the alert fills and the alarm sound are left alone. Idempotent.
void stopDataConverter(MonitorState& state, ControlsState& controls);

// Pression -1, ModeHPU and Pitch a single space, presenceHPU false; the HPU rows, CanvasProp
// and both HPU buttons hidden. filtered_alpha keeps its value. Idempotent.
void stopDataHPU(MonitorState& state, ControlsState& controls);

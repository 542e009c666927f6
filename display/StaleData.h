#pragma once

#include <QtGlobal>

// When a device goes silent its last values must not stay on screen as if current. Each
// device is watched through the stamp of its last valid frame (timeLastDataCV,
// timeLastDataHPU); the TimerLog tick tests them while connected.

constexpr qint64 kStaleLimitMs = 3000; // exclusive: exactly 3000 ms is fresh

// True when more than kStaleLimitMs have passed since lastDataMs.
bool isStale(qint64 nowMs, qint64 lastDataMs);

#pragma once

#include <QtGlobal>

// The memory this process holds in RAM, in bytes; 0 when the system cannot tell.

// Now: Linux reads it from /proc/self/statm; other POSIX systems only give the peak so far
// (getrusage), which serves the same purpose for a test of growth: a flat peak is a flat
// footprint.
qint64 residentMemoryBytes();
// True when residentMemoryBytes() is the current footprint, false when it is the peak.
bool residentMemoryIsCurrent();

// The peak so far (getrusage), on every POSIX system.
qint64 peakResidentMemoryBytes();

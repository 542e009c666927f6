#pragma once

#include <QtGlobal>

// What another process of this machine uses: CPU time so far and resident memory now.
// Linux reads /proc/<pid> (CPU time from its threads' schedstat, in nanoseconds, while they
// live: a thread that has ended drops out of the sum, so measure long-lived processes); other
// systems ask ps. Values are -1 when the process is gone or
// the system cannot tell.
struct ProcessUsage {
    double cpuSeconds = -1; // user + system
    qint64 residentBytes = -1;
};

ProcessUsage processUsage(qint64 pid);

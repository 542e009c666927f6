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
    // Times the main thread went to sleep and was woken again so far (its voluntary context
    // switches): for an event-driven program, the wake-ups of its event loop. Linux only.
    qint64 wakeUps = -1;
};

ProcessUsage processUsage(qint64 pid);

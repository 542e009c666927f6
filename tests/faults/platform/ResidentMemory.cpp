#include "ResidentMemory.h"

#if defined(Q_OS_UNIX)
#include <sys/resource.h>
#endif
#if defined(Q_OS_LINUX)
#include <cstdio>
#include <unistd.h>
#endif

qint64 peakResidentMemoryBytes() {
#if defined(Q_OS_UNIX)
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
#if defined(Q_OS_DARWIN)
    return qint64(usage.ru_maxrss); // bytes
#else
    return qint64(usage.ru_maxrss) * 1024; // kilobytes
#endif
#else
    return 0;
#endif
}

qint64 residentMemoryBytes() {
#if defined(Q_OS_LINUX)
    // statm: total program size, then resident pages.
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    long long size = 0;
    long long resident = 0;
    const int read = std::fscanf(statm, "%lld %lld", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * qint64(::sysconf(_SC_PAGESIZE)) : 0;
#else
    return peakResidentMemoryBytes();
#endif
}

bool residentMemoryIsCurrent() {
#if defined(Q_OS_LINUX)
    return true;
#else
    return false;
#endif
}

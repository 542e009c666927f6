#include "ProcessUsage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

#if defined(Q_OS_LINUX)
#include <unistd.h>
#endif

#if defined(Q_OS_LINUX)
namespace {
// Time on a CPU in nanoseconds, summed over the process's threads (the first field of each
// thread's schedstat), or -1 where the kernel does not keep it. /proc/<pid>/stat counts in
// clock ticks (10 ms): a process using 3 ms a second holds only a few of them in a minute.
double runningSeconds(qint64 pid) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    const QStringList threads = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (threads.isEmpty())
        return -1;
    double nanoseconds = 0;
    for (const QString& thread : threads) {
        QFile schedstat(tasks.filePath(thread + QStringLiteral("/schedstat")));
        if (!schedstat.open(QIODevice::ReadOnly))
            return -1;
        bool ok = false;
        nanoseconds += schedstat.readAll().split(' ').value(0).toDouble(&ok);
        if (!ok)
            return -1;
    }
    return nanoseconds / 1e9;
}

// The main thread's voluntary context switches: each time it blocked (in poll, waiting for
// the next event) and was woken.
qint64 mainThreadWakeUps(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/task/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    static const QByteArray kField("voluntary_ctxt_switches:");
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(kField)) {
            bool ok = false;
            const qint64 count = line.mid(kField.size()).trimmed().toLongLong(&ok);
            return ok ? count : -1;
        }
    return -1;
}
} // namespace
#endif

ProcessUsage processUsage(qint64 pid) {
    ProcessUsage usage;
#if defined(Q_OS_LINUX)
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return usage;
    const QByteArray line = stat.readAll();
    // The command name may hold spaces: fields are counted after its closing parenthesis.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // From the state (field 3): utime is field 14, stime 15, rss 24 (in pages).
    if (fields.size() < 22)
        return usage;
    const double ticks = double(::sysconf(_SC_CLK_TCK));
    usage.cpuSeconds = runningSeconds(pid);
    if (usage.cpuSeconds < 0)
        usage.cpuSeconds = (fields[11].toDouble() + fields[12].toDouble()) / ticks;
    usage.residentBytes = fields[21].toLongLong() * qint64(::sysconf(_SC_PAGESIZE));
    usage.wakeUps = mainThreadWakeUps(pid);
#else
    QProcess ps;
    ps.start(QStringLiteral("ps"), {QStringLiteral("-o"), QStringLiteral("rss=,time="), QStringLiteral("-p"),
                                    QString::number(pid)});
    if (!ps.waitForFinished(5000))
        return usage;
    const QStringList parts =
        QString::fromLocal8Bit(ps.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
    if (parts.size() < 2)
        return usage;
    usage.residentBytes = parts[0].toLongLong() * 1024;
    // [[dd-]hh:]mm:ss[.ss]
    double seconds = 0;
    for (const QString& part : parts[1].split(QLatin1Char(':')))
        seconds = seconds * 60 + part.toDouble();
    usage.cpuSeconds = seconds;
#endif
    return usage;
}

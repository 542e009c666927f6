#include "ProcessUsage.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

#if defined(Q_OS_LINUX)
#include <unistd.h>
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
    usage.cpuSeconds = (fields[11].toDouble() + fields[12].toDouble()) / ticks;
    usage.residentBytes = fields[21].toLongLong() * qint64(::sysconf(_SC_PAGESIZE));
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

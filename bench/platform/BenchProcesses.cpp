#include "BenchProcesses.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

QString startSimulator(QProcess& sim, const QString& program, const QStringList& options) {
    sim.setProcessChannelMode(QProcess::SeparateChannels);
    sim.start(program, options);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        while (sim.canReadLine()) {
            const QString line = QString::fromLocal8Bit(sim.readLine()).trimmed();
            if (line.startsWith(QLatin1String("Device: ")))
                return line.mid(8);
        }
        if (sim.state() == QProcess::NotRunning)
            return QString();
        sim.waitForReadyRead(50);
    }
    return QString();
}

QProcessEnvironment appEnvironment(const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DOCUMENTS_DIR"), home + QStringLiteral("/Documents"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    return env;
}

double loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const double value = file.readLine().split(' ').value(0).toDouble(&ok);
    return ok ? value : -1;
}

QString referenceTerminal() {
    return QStandardPaths::findExecutable(QStringLiteral("picocom"));
}

bool startReferenceTerminal(QProcess& terminal, const QString& program, const QString& device) {
    terminal.setStandardOutputFile(QProcess::nullDevice());
    terminal.setStandardErrorFile(QProcess::nullDevice());
    terminal.setChildProcessModifier([] { ::setpgid(0, 0); });
    terminal.start(program, {QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--quiet"),
                             QStringLiteral("--nolock"), QStringLiteral("--noreset"), device});
    return terminal.waitForStarted(10000);
}

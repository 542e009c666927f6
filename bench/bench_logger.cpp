// Figures of the unattended logger, run as a service runs it: velmora-logger reading
// velmora-sim on a pseudo-terminal at a busy line (converter every 30 ms, HPU every 45 ms: 95 %
// of the 960 bytes a second), writing its CSV log, and publishing to a Mosquitto broker on
// 127.0.0.1. Two loggers run side by side over the same seconds, each on its own simulator: the
// reference without --mqtt and the one with it, so the drift of a shared machine falls on both.
// Measured with the bytes handed over a frame at a time (a USB adapter) and byte by byte.
// A plain serial terminal (picocom) reads a third identical stream over the same seconds:
// the ratio to it is printed with the machine's load average.
// Usage: bench_logger <velmora-logger> <velmora-sim> [seconds per measurement, default 60]
//                     [reference terminal, default picocom found on the PATH]
#include "MosquittoBroker.h"
#include "MqttSubscriber.h"
#include "platform/BenchProcesses.h"
#include "platform/ProcessUsage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

struct Run {
    QProcess sim;
    QProcess logger; // or the reference terminal
    QTemporaryDir logs;
    ProcessUsage start;
    qint64 peakResident = 0;
};

QStringList simulatorOptions(const QString& delivery) {
    return {QStringLiteral("--converter-period"), QStringLiteral("30"),
            QStringLiteral("--hpu-period"),       QStringLiteral("45"),
            QStringLiteral("--delivery"),         delivery};
}

bool startRun(Run& run, const QString& loggerProgram, const QString& simProgram, const QString& delivery,
              const QStringList& extra) {
    const QString device = startSimulator(run.sim, simProgram, simulatorOptions(delivery));
    if (device.isEmpty())
        return false;
    run.logger.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.logger.start(loggerProgram, QStringList{QStringLiteral("--port"), device,
                                                QStringLiteral("--log-folder"), run.logs.path()} +
                                        extra);
    return run.logger.waitForStarted(10000);
}

bool startReference(Run& run, const QString& terminal, const QString& simProgram, const QString& delivery) {
    const QString device = startSimulator(run.sim, simProgram, simulatorOptions(delivery));
    return !device.isEmpty() && startReferenceTerminal(run.logger, terminal, device);
}

double cpuShare(const Run& run, const ProcessUsage& end, double wall) {
    return 100.0 * (end.cpuSeconds - run.start.cpuSeconds) / wall;
}

QString figures(const Run& run, const ProcessUsage& end, double wall) {
    return QStringLiteral("CPU %1 % of one core, resident memory %2 MB (peak %3 MB)")
        .arg(cpuShare(run, end, wall), 0, 'f', 2)
        .arg(double(end.residentBytes) / 1e6, 0, 'f', 1)
        .arg(double(run.peakResident) / 1e6, 0, 'f', 1);
}

void measure(const QString& loggerProgram, const QString& simProgram, const QString& terminal,
             const MosquittoBroker& broker, int seconds, const QString& delivery,
             const QString& deliveryName) {
    Run reference;
    Run publishing;
    Run plain; // the plain serial terminal
    const bool withTerminal = !terminal.isEmpty() && startReference(plain, terminal, simProgram, delivery);
    QList<Run*> runs{&reference, &publishing};
    if (withTerminal)
        runs.append(&plain);
    MqttSubscriber subscriber; // someone listening, as Home Assistant would
    QString error;
    subscriber.connectTo(broker.port(), {QStringLiteral("velmora/#")}, &error);
    if (!startRun(reference, loggerProgram, simProgram, delivery, {}) ||
        !startRun(
            publishing, loggerProgram, simProgram, delivery,
            {QStringLiteral("--mqtt"), broker.url(), QStringLiteral("--mqtt-id"), QStringLiteral("bench")})) {
        say(QStringLiteral("logger: a simulator or a logger did not start"));
        for (Run* run : runs) {
            stop(run->logger);
            stop(run->sim);
        }
        return;
    }
    QThread::sleep(5); // warm-up: connected, first frames decoded, broker reached
    for (Run* run : runs)
        run->sim.readAllStandardOutput();
    const double loadBefore = loadAverage();
    const int statesBefore = subscriber.count(QStringLiteral("velmora/bench/state"));
    for (Run* run : runs) {
        run->start = processUsage(run->logger.processId());
        run->peakResident = run->start.residentBytes;
    }
    QElapsedTimer clock;
    clock.start();
    for (int second = 0; second < seconds; ++second) {
        QThread::sleep(1);
        for (Run* run : runs) {
            run->sim.readAllStandardOutput(); // keep its pipe from filling
            run->peakResident =
                std::max(run->peakResident, processUsage(run->logger.processId()).residentBytes);
        }
    }
    const ProcessUsage referenceEnd = processUsage(reference.logger.processId());
    const ProcessUsage publishingEnd = processUsage(publishing.logger.processId());
    const ProcessUsage plainEnd = withTerminal ? processUsage(plain.logger.processId()) : ProcessUsage{};
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const int states = subscriber.count(QStringLiteral("velmora/bench/state")) - statesBefore;
    const bool running =
        reference.logger.state() == QProcess::Running && publishing.logger.state() == QProcess::Running;
    const bool plainRunning = withTerminal && plain.logger.state() == QProcess::Running;
    const double loadAfter = loadAverage();
    for (Run* run : runs) {
        stop(run->logger);
        stop(run->sim);
    }
    if (!running || referenceEnd.cpuSeconds < 0 || publishingEnd.cpuSeconds < 0) {
        say(QStringLiteral("logger: a logger stopped or its usage could not be read"));
        return;
    }
    say(QStringLiteral("logger, line 95 % busy, %1, for %2 s side by side:")
            .arg(deliveryName)
            .arg(wall, 0, 'f', 0));
    say(QStringLiteral("  log only (reference):  %1").arg(figures(reference, referenceEnd, wall)));
    say(QStringLiteral(
            "  log and MQTT:          %1; %2 states received by a subscriber; targets 1 % and 30 MB")
            .arg(figures(publishing, publishingEnd, wall))
            .arg(states));
    if (plainRunning && plainEnd.cpuSeconds >= 0) {
        const double plainShare = cpuShare(plain, plainEnd, wall);
        say(QStringLiteral("  %1 on the same stream: %2; logger and MQTT / %1 = %3 (CPU); load average "
                           "%4 before, %5 after")
                .arg(QFileInfo(terminal).fileName(), figures(plain, plainEnd, wall))
                .arg(plainShare > 0 ? cpuShare(publishing, publishingEnd, wall) / plainShare : 0.0, 0, 'f', 1)
                .arg(loadBefore, 0, 'f', 2)
                .arg(loadAfter, 0, 'f', 2));
    } else {
        say(QStringLiteral("  no reference terminal on the same stream; load average %1 before, %2 after")
                .arg(loadBefore, 0, 'f', 2)
                .arg(loadAfter, 0, 'f', 2));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr,
                     "usage: bench_logger <velmora-logger> <velmora-sim> [seconds] [reference terminal]\n");
        return 2;
    }
    const int seconds = args.size() > 3 ? args[3].toInt() : 60;
    const QString terminal = args.size() > 4 ? args[4] : referenceTerminal();
    if (terminal.isEmpty())
        say(QStringLiteral(
            "no reference terminal: picocom is not installed (scripts/install-deps.sh installs it)"));
    // BENCH_ONLY=load: bytes by frame only (the CPU comparison).
    const bool loadOnly = qEnvironmentVariable("BENCH_ONLY") == QLatin1String("load");
    MosquittoBroker broker;
    if (!broker.start()) {
        std::fprintf(stderr, "bench_logger: %s\n", qPrintable(broker.error()));
        return 1;
    }
    measure(args[1], args[2], terminal, broker, seconds, QStringLiteral("frame"),
            QStringLiteral("bytes by frame"));
    if (!loadOnly)
        measure(args[1], args[2], terminal, broker, seconds, QStringLiteral("byte"),
                QStringLiteral("byte by byte"));
    return 0;
}

// Figures of the unattended logger, run as a service runs it: velmora-logger reading
// velmora-sim on a pseudo-terminal at a busy line (converter every 30 ms, HPU every 45 ms: 95 %
// of the 960 bytes a second), writing its CSV log, and publishing to a Mosquitto broker on
// 127.0.0.1. Two loggers run side by side over the same seconds, each on its own simulator: the
// reference without --mqtt and the one with it, so the drift of a shared machine falls on both.
// Measured with the bytes handed over a frame at a time (a USB adapter) and byte by byte.
// Usage: bench_logger <velmora-logger> <velmora-sim> [seconds per measurement, default 60]
#include "MosquittoBroker.h"
#include "MqttSubscriber.h"
#include "platform/ProcessUsage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
    sim.start(program, options);
    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000 && sim.waitForReadyRead(1000)) {
        output += sim.readAllStandardOutput();
        const auto match =
            QRegularExpression(QStringLiteral("Device: (\\S+)\\n")).match(QString::fromLocal8Bit(output));
        if (match.hasMatch())
            return match.captured(1);
    }
    return QString();
}

struct Run {
    QProcess sim;
    QProcess logger;
    QTemporaryDir logs;
    ProcessUsage start;
    qint64 peakResident = 0;
};

bool startRun(Run& run, const QString& loggerProgram, const QString& simProgram, const QString& delivery,
              const QStringList& extra) {
    const QString device = startSimulator(run.sim, simProgram,
                                          {QStringLiteral("--converter-period"), QStringLiteral("30"),
                                           QStringLiteral("--hpu-period"), QStringLiteral("45"),
                                           QStringLiteral("--delivery"), delivery});
    if (device.isEmpty())
        return false;
    run.logger.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.logger.start(loggerProgram, QStringList{QStringLiteral("--port"), device,
                                                QStringLiteral("--log-folder"), run.logs.path()} +
                                        extra);
    return run.logger.waitForStarted(10000);
}

QString figures(const Run& run, const ProcessUsage& end, double wall) {
    return QStringLiteral("CPU %1 % of one core, resident memory %2 MB (peak %3 MB)")
        .arg(100.0 * (end.cpuSeconds - run.start.cpuSeconds) / wall, 0, 'f', 2)
        .arg(double(end.residentBytes) / 1e6, 0, 'f', 1)
        .arg(double(run.peakResident) / 1e6, 0, 'f', 1);
}

void measure(const QString& loggerProgram, const QString& simProgram, const MosquittoBroker& broker,
             int seconds, const QString& delivery, const QString& deliveryName) {
    Run reference;
    Run publishing;
    MqttSubscriber subscriber; // someone listening, as Home Assistant would
    QString error;
    subscriber.connectTo(broker.port(), {QStringLiteral("velmora/#")}, &error);
    if (!startRun(reference, loggerProgram, simProgram, delivery, {}) ||
        !startRun(
            publishing, loggerProgram, simProgram, delivery,
            {QStringLiteral("--mqtt"), broker.url(), QStringLiteral("--mqtt-id"), QStringLiteral("bench")})) {
        say(QStringLiteral("logger: a simulator or a logger did not start"));
        return;
    }
    QThread::sleep(5); // warm-up: connected, first frames decoded, broker reached
    reference.sim.readAllStandardOutput();
    publishing.sim.readAllStandardOutput();
    const int statesBefore = subscriber.count(QStringLiteral("velmora/bench/state"));
    for (Run* run : {&reference, &publishing}) {
        run->start = processUsage(run->logger.processId());
        run->peakResident = run->start.residentBytes;
    }
    QElapsedTimer clock;
    clock.start();
    for (int second = 0; second < seconds; ++second) {
        QThread::sleep(1);
        for (Run* run : {&reference, &publishing}) {
            run->sim.readAllStandardOutput(); // keep its pipe from filling
            run->peakResident =
                std::max(run->peakResident, processUsage(run->logger.processId()).residentBytes);
        }
    }
    const ProcessUsage referenceEnd = processUsage(reference.logger.processId());
    const ProcessUsage publishingEnd = processUsage(publishing.logger.processId());
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const int states = subscriber.count(QStringLiteral("velmora/bench/state")) - statesBefore;
    const bool running =
        reference.logger.state() == QProcess::Running && publishing.logger.state() == QProcess::Running;
    for (Run* run : {&reference, &publishing}) {
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
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_logger <velmora-logger> <velmora-sim> [seconds]\n");
        return 2;
    }
    const int seconds = args.size() > 3 ? args[3].toInt() : 60;
    MosquittoBroker broker;
    if (!broker.start()) {
        std::fprintf(stderr, "bench_logger: %s\n", qPrintable(broker.error()));
        return 1;
    }
    measure(args[1], args[2], broker, seconds, QStringLiteral("frame"), QStringLiteral("bytes by frame"));
    measure(args[1], args[2], broker, seconds, QStringLiteral("byte"), QStringLiteral("byte by byte"));
    return 0;
}

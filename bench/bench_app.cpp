// Figures of the application itself, run as the user runs it, against velmora-sim on a
// pseudo-terminal (both under the offscreen platform, so no display is needed). The
// application is velmora-measured: velmora's window with the switches that measure it from
// outside, which the shipped velmora does not offer.
//   start-up      launch to first painted main window (--measure-startup), best,
//                 median and worst of several runs, timed from outside
//   emission      delay from the end of each converter frame to the first byte of the command
//                 that follows, as velmora-sim measures it, against the set 150 ms (the
//                 share within [150, 153] ms, the percentiles, the extremes); the
//                 application connects at once and keeps an EEPROM read request pending
//                 (--port DEVICE --connect --keep-requesting), so a command follows
//                 every converter frame
//   load          CPU share and resident memory of the connected application while the
//                 simulator fills the line (converter every 30 ms, HPU every 45 ms: 95 % of
//                 the 960 bytes a second that 9600 bit/s carry), then at the installation's
//                 own pace (converter every 200 ms, HPU every 500 ms), with the wake-ups a
//                 second of its event loop (the main thread's voluntary context switches)
// Emission and load are measured twice: with the bytes handed over a frame at a time, as a
// USB adapter does when the line goes quiet, and byte by byte, each byte waking the
// application on its own (the worst case a plain UART can give).
// recording    what --record adds at a busy line byte by byte (a capture line per byte): two
//              applications side by side over the same seconds, one recording, roles swapped
//              in a second run.
// Usage: bench_app <velmora> <velmora-sim> [seconds per measurement, default 60]

// Each load figure is taken side by side with a reference: a plain serial terminal (picocom,
// from the Debian package of that name) reading an identical stream from a second simulator
// over the same seconds, since this machine's absolute times drift with what else runs; the
// ratio of the two is printed with the machine's load average.
// Usage: bench_app <velmora-measured> <velmora-sim> [seconds per measurement, default 60]
//                  [reference terminal, default picocom found on the PATH]
// With BENCH_ONLY=load in the environment only the load figures with bytes by frame are taken.
// With BENCH_BEFORE=<another velmora-measured> (a build of an earlier tree), that build is also
// measured at the installation's own pace, bytes by frame, right after this one: the wake-ups
// and the CPU before and after a change, taken in one run.
#include "platform/BenchProcesses.h"
#include "platform/ProcessUsage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

#include <unistd.h>

namespace {

constexpr int kEmissionDelayMs = 150; // the delay field's initial text
constexpr int kWindowMs = 3;          // the target: within [delay, delay + 3 ms]
constexpr int kStartupRuns = 7;

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

double percentile(QVector<double> values, double share) {
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    const int index = std::clamp(int(share * (values.size() - 1) + 0.5), 0, int(values.size()) - 1);
    return values[index];
}

// Reads lines of a process as they come, for up to timeoutMs, until accept() returns true.
bool waitForLine(QProcess& process, int timeoutMs, const std::function<bool(const QString&)>& accept) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        while (process.canReadLine())
            if (accept(QString::fromLocal8Bit(process.readLine()).trimmed()))
                return true;
        if (process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(50);
    }
    return false;
}

void measureStartup(const QString& velmora, const QString& home) {
    QVector<double> outside;
    QVector<double> inside;
    for (int run = 0; run < kStartupRuns; ++run) {
        QProcess app;
        app.setProcessEnvironment(appEnvironment(home));
        QElapsedTimer clock;
        clock.start();
        app.start(velmora, {QStringLiteral("--measure-startup")});
        double reported = -1;
        const bool painted = waitForLine(app, 20000, [&reported](const QString& line) {
            static const QRegularExpression paint(QStringLiteral("^first paint after (\\d+) ms"));
            const QRegularExpressionMatch match = paint.match(line);
            if (match.hasMatch())
                reported = match.captured(1).toDouble();
            return match.hasMatch();
        });
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        stop(app);
        if (!painted) {
            say(QStringLiteral("start-up: no first paint reported (%1)")
                    .arg(QString::fromLocal8Bit(app.readAllStandardError()).trimmed()));
            return;
        }
        outside.append(ms);
        inside.append(reported);
    }
    say(QStringLiteral(
            "start-up, launch to first painted main window, %1 runs: best %2 ms, median %3 ms, worst %4 ms "
            "(inside the process, from main() on: median %5 ms); target 1000 ms")
            .arg(kStartupRuns)
            .arg(percentile(outside, 0), 0, 'f', 0)
            .arg(percentile(outside, 0.5), 0, 'f', 0)
            .arg(percentile(outside, 1), 0, 'f', 0)
            .arg(percentile(inside, 0.5), 0, 'f', 0));
}

// How velmora-sim hands the line's bytes over, and how the figure is named.
struct Delivery {
    QString option;
    QString name;
};

const Delivery kByFrame{QStringLiteral("frame"), QStringLiteral("bytes by frame")};
const Delivery kByteByByte{QStringLiteral("byte"), QStringLiteral("byte by byte")};

void measureEmission(const QString& velmora, const QString& simulator, const QString& home, int seconds,
                     const Delivery& delivery) {
    QProcess sim;
    const QString device = startSimulator(sim, simulator, {QStringLiteral("--delivery"), delivery.option});
    if (device.isEmpty()) {
        say(QStringLiteral("emission: the simulator gave no device"));
        stop(sim);
        return;
    }
    QProcess app;
    app.setProcessEnvironment(appEnvironment(home));
    app.start(velmora, {QStringLiteral("--port"), device, QStringLiteral("--connect"),
                        QStringLiteral("--keep-requesting")});

    QVector<double> delays;
    QElapsedTimer clock;
    clock.start();
    static const QRegularExpression command(QStringLiteral("^\\+(-?\\d+) ms after converter frame"));
    waitForLine(sim, seconds * 1000, [&delays](const QString& line) {
        const QRegularExpressionMatch match = command.match(line);
        if (match.hasMatch())
            delays.append(match.captured(1).toDouble());
        return false;
    });
    stop(app);
    stop(sim);
    if (delays.isEmpty()) {
        say(QStringLiteral("emission: no command reached the simulator (%1)")
                .arg(QString::fromLocal8Bit(app.readAllStandardError()).trimmed()));
        return;
    }
    const qsizetype within = std::count_if(delays.begin(), delays.end(), [](double d) {
        return d >= kEmissionDelayMs && d <= kEmissionDelayMs + kWindowMs;
    });
    say(QStringLiteral("emission, %10, %1 commands in %2 s, set delay %3 ms: median %4 ms, 99th percentile "
                       "%5 ms, min %6 ms, max %7 ms; %8 % within [%3, %9] ms (target 99 %)")
            .arg(delays.size())
            .arg(seconds)
            .arg(kEmissionDelayMs)
            .arg(percentile(delays, 0.5), 0, 'f', 0)
            .arg(percentile(delays, 0.99), 0, 'f', 0)
            .arg(percentile(delays, 0), 0, 'f', 0)
            .arg(percentile(delays, 1), 0, 'f', 0)
            .arg(100.0 * double(within) / double(delays.size()), 0, 'f', 1)
            .arg(kEmissionDelayMs + kWindowMs)
            .arg(delivery.name));
}

// The line's load: the simulator's broadcast periods and how the figure is named.
struct LineLoad {
    QStringList simulatorOptions;
    QString name;
};

// A reading process and the figures taken of it over one window of time.
struct Reader {
    explicit Reader(QString readerName)
        : name(std::move(readerName)) {}
    QString name;
    QProcess process;
    qint64 pid = 0;
    ProcessUsage start;
    qint64 peakResident = -1;
};

void sampleStart(Reader& reader) {
    reader.pid = reader.process.processId();
    reader.start = processUsage(reader.pid);
    reader.peakResident = reader.start.residentBytes;
}

void samplePeak(Reader& reader) {
    reader.peakResident = std::max(reader.peakResident, processUsage(reader.pid).residentBytes);
}

// CPU share of one core over wall seconds, or -1 when the process went away.
double cpuShare(const Reader& reader, const ProcessUsage& end, double wall) {
    if (reader.start.cpuSeconds < 0 || end.cpuSeconds < 0 || wall <= 0)
        return -1;
    return 100.0 * (end.cpuSeconds - reader.start.cpuSeconds) / wall;
}

// Wake-ups of the event loop a second over wall seconds, as text ("-" where not known).
QString wakeUpsPerSecond(const Reader& reader, const ProcessUsage& end, double wall) {
    if (reader.start.wakeUps < 0 || end.wakeUps < 0 || wall <= 0)
        return QStringLiteral("-");
    return QString::number(double(end.wakeUps - reader.start.wakeUps) / wall, 'f', 1);
}

void measureLoad(const QString& velmora, const QString& simulator, const QString& terminal,
                 const QString& home, int seconds, const LineLoad& load, const Delivery& delivery,
                 const QStringList& appOptions = {}, const QString& variant = QString()) {
    // Two simulators with the same options send the same stream, one to the application and
    // one to the reference terminal, so both are measured over the same seconds of the same
    // (shared, drifting) machine.
    const QStringList options =
        load.simulatorOptions + QStringList{QStringLiteral("--delivery"), delivery.option};
    QProcess sim;
    QProcess referenceSim;
    const QString device = startSimulator(sim, simulator, options);
    const QString referenceDevice =
        terminal.isEmpty() ? QString() : startSimulator(referenceSim, simulator, options);
    if (device.isEmpty() || (!terminal.isEmpty() && referenceDevice.isEmpty())) {
        say(QStringLiteral("load: the simulator gave no device"));
        stop(sim);
        stop(referenceSim);
        return;
    }
    Reader app(QStringLiteral("velmora"));
    app.process.setProcessEnvironment(appEnvironment(home));
    app.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.process.start(velmora,
                      QStringList{QStringLiteral("--port"), device, QStringLiteral("--connect")} + appOptions);
    Reader reference(QFileInfo(terminal).fileName());
    const bool withReference =
        !terminal.isEmpty() && startReferenceTerminal(reference.process, terminal, referenceDevice);
    if (!app.process.waitForStarted(10000)) {
        say(QStringLiteral("load: the application did not start"));
        stop(reference.process);
        stop(sim);
        stop(referenceSim);
        return;
    }
    // Warm-up: the window shown, the connection made, the first frames decoded.
    // The simulators' pipes are read so that they never fill (the reference's only when it runs).
    const auto drainSimulators = [&] {
        sim.readAllStandardOutput();
        if (referenceSim.state() != QProcess::NotRunning)
            referenceSim.readAllStandardOutput();
    };
    QThread::sleep(5);
    drainSimulators();
    const double loadBefore = loadAverage();
    sampleStart(app);
    if (withReference)
        sampleStart(reference);
    QElapsedTimer clock;
    clock.start();
    for (int second = 0; second < seconds && app.process.state() == QProcess::Running; ++second) {
        QThread::sleep(1);
        drainSimulators();
        samplePeak(app);
        if (withReference)
            samplePeak(reference);
    }
    const ProcessUsage appEnd = processUsage(app.pid);
    const ProcessUsage referenceEnd = withReference ? processUsage(reference.pid) : ProcessUsage{};
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const bool running = app.process.state() == QProcess::Running;
    const bool referenceRunning = withReference && reference.process.state() == QProcess::Running;
    const double loadAfter = loadAverage();
    stop(app.process);
    stop(reference.process);
    stop(sim);
    stop(referenceSim);
    const double appShare = cpuShare(app, appEnd, wall);
    if (!running || appShare < 0) {
        say(QStringLiteral("load: the application stopped or its usage could not be read"));
        return;
    }
    say(QStringLiteral("load, connected, %1, %6, for %2 s: CPU %3 % of one core, resident memory %4 MB "
                       "(peak %5 MB), %7 wake-ups a second; targets 0.6 % and 4 times the reference (busy "
                       "line, bytes by frame), 0.2 % (the installation's pace), 80 MB")
            .arg(load.name + variant)
            .arg(wall, 0, 'f', 0)
            .arg(appShare, 0, 'f', 2)
            .arg(double(appEnd.residentBytes) / 1e6, 0, 'f', 1)
            .arg(double(app.peakResident) / 1e6, 0, 'f', 1)
            .arg(delivery.name)
            .arg(wakeUpsPerSecond(app, appEnd, wall)));
    const double referenceShare = referenceRunning ? cpuShare(reference, referenceEnd, wall) : -1;
    if (referenceShare < 0) {
        say(QStringLiteral("  reference: %1")
                .arg(terminal.isEmpty() ? QStringLiteral("none given")
                                        : QStringLiteral("%1 stopped or could not be read").arg(terminal)));
        return;
    }
    say(QStringLiteral("  side by side, %1 on the same stream: CPU %2 % of one core, resident memory %3 MB, "
                       "%8 wake-ups a second; velmora / %1 = %4 (CPU), %5 (memory); load average %6 before, "
                       "%7 after")
            .arg(reference.name)
            .arg(referenceShare, 0, 'f', 2)
            .arg(double(referenceEnd.residentBytes) / 1e6, 0, 'f', 1)
            .arg(referenceShare > 0 ? QString::number(appShare / referenceShare, 'f', 1)
                                    : QStringLiteral("-"))
            .arg(double(appEnd.residentBytes) / double(std::max<qint64>(1, referenceEnd.residentBytes)), 0,
                 'f', 1)
            .arg(loadBefore, 0, 'f', 2)
            .arg(loadAfter, 0, 'f', 2)
            .arg(wakeUpsPerSecond(reference, referenceEnd, wall)));
}

// The bus health refresh and the event journal at the busy line, against the same run without
// them, alternated twice so that a drift of the machine shows rather than passes for a cost.
void measureReportsCost(const QString& velmora, const QString& simulator, const QString& home, int seconds,
                        const LineLoad& busy) {
    for (int round = 0; round < 2; ++round) {
        measureLoad(velmora, simulator, QString(), home, seconds, busy, kByFrame, {},
                    QStringLiteral(", bus health and journal on"));
        measureLoad(velmora, simulator, QString(), home, seconds, busy, kByFrame,
                    {QStringLiteral("--without-reports")}, QStringLiteral(", bus health and journal off"));
    }
}

// Two connected applications at once over the same seconds, each on its own simulator at a
// busy line, byte by byte; one of them records the bus. The CPU share it takes beyond the other
// is the recording's; the run is made twice with the roles swapped, so that what differs between
// the two places (simulator, pseudo-terminal, scheduling) cancels out in the mean.
double recordingCostOnce(const QString& velmora, const QString& simulator, const QString& home, int seconds,
                         int recording, double cpu[2], qint64* captured) {
    const QStringList busyByByte{QStringLiteral("--converter-period"), QStringLiteral("30"),
                                 QStringLiteral("--hpu-period"),       QStringLiteral("45"),
                                 QStringLiteral("--delivery"),         QStringLiteral("byte")};
    QProcess sims[2];
    QProcess apps[2];
    const QString capture = home + QStringLiteral("/bench-capture-%1.txt").arg(recording);
    const auto stopAll = [&] {
        for (int k = 0; k < 2; ++k) {
            stop(apps[k]);
            stop(sims[k]);
        }
    };
    for (int i = 0; i < 2; ++i) {
        const QString device = startSimulator(sims[i], simulator, busyByByte);
        QStringList options{QStringLiteral("--port"), device, QStringLiteral("--connect")};
        if (i == recording)
            options << QStringLiteral("--record") << capture;
        apps[i].setProcessEnvironment(appEnvironment(home));
        apps[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        apps[i].start(velmora, options);
        if (device.isEmpty() || !apps[i].waitForStarted(10000)) {
            stopAll();
            return -1;
        }
    }
    QThread::sleep(5); // warm-up
    ProcessUsage start[2];
    for (int i = 0; i < 2; ++i) {
        sims[i].readAllStandardOutput();
        start[i] = processUsage(apps[i].processId());
    }
    QElapsedTimer clock;
    clock.start();
    for (int second = 0; second < seconds; ++second) {
        QThread::sleep(1);
        for (QProcess& sim : sims)
            sim.readAllStandardOutput();
    }
    for (int i = 0; i < 2; ++i)
        cpu[i] = 100.0 * (processUsage(apps[i].processId()).cpuSeconds - start[i].cpuSeconds) /
                 (double(clock.nsecsElapsed()) / 1e9);
    const bool running = apps[0].state() == QProcess::Running && apps[1].state() == QProcess::Running;
    stopAll();
    *captured = QFileInfo(capture).size();
    return running && *captured > 0 ? cpu[recording] - cpu[1 - recording] : -1;
}

void measureRecordingCost(const QString& velmora, const QString& simulator, const QString& home,
                          int seconds) {
    double differences[2];
    QStringList runs;
    for (int recording = 1; recording >= 0; --recording) {
        double cpu[2] = {0, 0};
        qint64 captured = 0;
        differences[recording] =
            recordingCostOnce(velmora, simulator, home, seconds, recording, cpu, &captured);
        if (differences[recording] == -1) {
            say(QStringLiteral(
                "recording cost: a simulator or an application did not start, stopped or wrote no "
                "capture"));
            return;
        }
        runs.append(QStringLiteral("%1 % without, %2 % recording (%3 KB)")
                        .arg(cpu[1 - recording], 0, 'f', 2)
                        .arg(cpu[recording], 0, 'f', 2)
                        .arg(double(captured) / 1e3, 0, 'f', 0));
    }
    say(QStringLiteral("recording cost, line 95 % busy, byte by byte, side by side for %1 s, twice with the "
                       "roles swapped: CPU of one core %2; then %3: recording costs %4 % more (mean); target "
                       "0.2 %")
            .arg(seconds)
            .arg(runs[0], runs[1])
            .arg((differences[0] + differences[1]) / 2.0, 0, 'f', 2));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr,
                     "usage: bench_app <velmora-measured> <velmora-sim> [seconds] [reference terminal]\n");
        return 2;
    }
    const QString velmora = args[1];
    const QString simulator = args[2];
    const int seconds = args.size() > 3 ? args[3].toInt() : 60;
    const QString terminal = args.size() > 4 ? args[4] : referenceTerminal();
    if (terminal.isEmpty())
        say(QStringLiteral(
            "no reference terminal: picocom is not installed (scripts/install-deps.sh installs it)"));
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    // BENCH_ONLY=load: the load figures with bytes by frame only (the CPU comparison).
    const bool loadOnly = qEnvironmentVariable("BENCH_ONLY") == QLatin1String("load");
    if (!loadOnly)
        measureStartup(velmora, home.path());
    const LineLoad busy{{QStringLiteral("--converter-period"), QStringLiteral("30"),
                         QStringLiteral("--hpu-period"), QStringLiteral("45")},
                        QStringLiteral("line 95 % busy (converter every 30 ms, HPU every 45 ms)")};
    const LineLoad ownPace{
        {}, QStringLiteral("the installation's own pace (converter every 200 ms, HPU every 500 ms)")};
    for (const Delivery& delivery : {kByFrame, kByteByByte}) {
        if (loadOnly && delivery.option != kByFrame.option)
            continue;
        if (!loadOnly)
            measureEmission(velmora, simulator, home.path(), seconds, delivery);
        measureLoad(velmora, simulator, terminal, home.path(), seconds, busy, delivery);
        measureLoad(velmora, simulator, terminal, home.path(), seconds, ownPace, delivery);
    }
    const QString before = qEnvironmentVariable("BENCH_BEFORE");
    if (!before.isEmpty()) {
        if (QFileInfo(before).isExecutable()) {
            measureLoad(velmora, simulator, terminal, home.path(), seconds, ownPace, kByFrame, {},
                        QStringLiteral(", this build"));
            measureLoad(before, simulator, terminal, home.path(), seconds, ownPace, kByFrame, {},
                        QStringLiteral(", the build of BENCH_BEFORE"));
        } else {
            say(QStringLiteral("BENCH_BEFORE: %1 is not an executable").arg(before));
        }
    }
    if (!loadOnly) {
        measureReportsCost(velmora, simulator, home.path(), seconds, busy);
        measureRecordingCost(velmora, simulator, home.path(), seconds);
    }
    return 0;
}

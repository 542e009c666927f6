// Figures of the application itself, run as the user runs it, against velmora-sim on a
// pseudo-terminal (both under the offscreen platform, so no display is needed):
//   start-up      launch to first painted main window (velmora --measure-startup), best,
//                 median and worst of several runs, timed from outside
//   emission      delay from the end of each converter frame to the first byte of the command
//                 that follows, as velmora-sim measures it, against the set 150 ms; the
//                 application connects at once and keeps an EEPROM read request pending
//                 (velmora --port DEVICE --connect --keep-requesting), so a command follows
//                 every converter frame
//   load          CPU share and resident memory of the connected application while the
//                 simulator fills the line (converter every 30 ms, HPU every 45 ms: 95 % of
//                 the 960 bytes a second that 9600 bit/s carry), then at the installation's
//                 own pace (converter every 200 ms, HPU every 500 ms)
// Emission and load are measured twice: with the bytes handed over a frame at a time, as a
// USB adapter does when the line goes quiet, and byte by byte, each byte waking the
// application on its own (the worst case a plain UART can give).
// Usage: bench_app <velmora> <velmora-sim> [seconds per measurement, default 60]
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

constexpr int kEmissionDelayMs = 150; // the delay field's initial text
constexpr int kWindowMs = 15;         // the target: within [delay, delay + 15 ms]
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

// The application's environment: offscreen, and a home of its own so that its log files and
// settings stay out of the user's.
QProcessEnvironment appEnvironment(const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DOCUMENTS_DIR"), home + QStringLiteral("/Documents"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    return env;
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

void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// velmora-sim started with the given options; its device path, or an empty text.
QString startSimulator(QProcess& sim, const QString& path, const QStringList& options) {
    sim.setProcessChannelMode(QProcess::SeparateChannels);
    sim.start(path, options);
    QString device;
    waitForLine(sim, 10000, [&device](const QString& line) {
        if (!line.startsWith(QLatin1String("Device: ")))
            return false;
        device = line.mid(8);
        return true;
    });
    return device;
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

void measureLoad(const QString& velmora, const QString& simulator, const QString& home, int seconds,
                 const LineLoad& load, const Delivery& delivery, const QStringList& appOptions = {},
                 const QString& variant = QString()) {
    QProcess sim;
    const QString device = startSimulator(
        sim, simulator, load.simulatorOptions + QStringList{QStringLiteral("--delivery"), delivery.option});
    if (device.isEmpty()) {
        say(QStringLiteral("load: the simulator gave no device"));
        stop(sim);
        return;
    }
    QProcess app;
    app.setProcessEnvironment(appEnvironment(home));
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(velmora,
              QStringList{QStringLiteral("--port"), device, QStringLiteral("--connect")} + appOptions);
    if (!app.waitForStarted(10000)) {
        say(QStringLiteral("load: the application did not start"));
        stop(sim);
        return;
    }
    const qint64 pid = app.processId();
    // Warm-up: the window shown, the connection made, the first frames decoded.
    QThread::sleep(5);
    sim.readAllStandardOutput();
    const ProcessUsage start = processUsage(pid);
    QElapsedTimer clock;
    clock.start();
    qint64 peakResident = start.residentBytes;
    for (int second = 0; second < seconds && app.state() == QProcess::Running; ++second) {
        QThread::sleep(1);
        sim.readAllStandardOutput(); // keep its pipe from filling
        peakResident = std::max(peakResident, processUsage(pid).residentBytes);
    }
    const ProcessUsage end = processUsage(pid);
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const bool running = app.state() == QProcess::Running;
    stop(app);
    stop(sim);
    if (!running || start.cpuSeconds < 0 || end.cpuSeconds < 0) {
        say(QStringLiteral("load: the application stopped or its usage could not be read"));
        return;
    }
    say(QStringLiteral("load, connected, %1, %6, for %2 s: CPU %3 % of one core, resident memory %4 MB "
                       "(peak %5 MB); targets 2 % and 80 MB")
            .arg(load.name + variant)
            .arg(wall, 0, 'f', 0)
            .arg(100.0 * (end.cpuSeconds - start.cpuSeconds) / wall, 0, 'f', 2)
            .arg(double(end.residentBytes) / 1e6, 0, 'f', 1)
            .arg(double(peakResident) / 1e6, 0, 'f', 1)
            .arg(delivery.name));
}

// The bus health refresh and the event journal at the busy line, against the same run without
// them, alternated twice so that a drift of the machine shows rather than passes for a cost.
void measureReportsCost(const QString& velmora, const QString& simulator, const QString& home, int seconds,
                        const LineLoad& busy) {
    for (int round = 0; round < 2; ++round) {
        measureLoad(velmora, simulator, home, seconds, busy, kByFrame, {},
                    QStringLiteral(", bus health and journal on"));
        measureLoad(velmora, simulator, home, seconds, busy, kByFrame, {QStringLiteral("--without-reports")},
                    QStringLiteral(", bus health and journal off"));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_app <velmora> <velmora-sim> [seconds]\n");
        return 2;
    }
    const QString velmora = args[1];
    const QString simulator = args[2];
    const int seconds = args.size() > 3 ? args[3].toInt() : 60;
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    measureStartup(velmora, home.path());
    const LineLoad busy{{QStringLiteral("--converter-period"), QStringLiteral("30"),
                         QStringLiteral("--hpu-period"), QStringLiteral("45")},
                        QStringLiteral("line 95 % busy (converter every 30 ms, HPU every 45 ms)")};
    const LineLoad ownPace{
        {}, QStringLiteral("the installation's own pace (converter every 200 ms, HPU every 500 ms)")};
    for (const Delivery& delivery : {kByFrame, kByteByByte}) {
        measureEmission(velmora, simulator, home.path(), seconds, delivery);
        measureLoad(velmora, simulator, home.path(), seconds, busy, delivery);
        measureLoad(velmora, simulator, home.path(), seconds, ownPace, delivery);
    }
    measureReportsCost(velmora, simulator, home.path(), seconds, busy);
    return 0;
}

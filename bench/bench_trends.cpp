// Figures of the trends, kept apart from bench_app:
//   busy line     CPU share of two connected applications run side by side, each against its
//                 own velmora-sim filling the line (converter every 30 ms, HPU every 45 ms):
//                 one with the trends window open (velmora --trends), one without
//   redraw        in this process, offscreen: the time one redraw of the trends window takes
//                 with a full hour in the ring and the 60-minute span (the window redraws once
//                 a second while open), against the 10-minute span
//   memory        resident memory of this process before and after an hour of samples in the
//                 ring, and after the trends window has drawn them
//   large log     a 100 MB CSV log (a year's worth of lines at the log's own layout) opened in
//                 the trends window: time to the first curve, to the whole file, the longest
//                 stall of the window's event loop meanwhile, against reading the bare bytes
// Usage: bench_trends <velmora> <velmora-sim> [seconds for the busy line, default 60; 0: without it]
#include "platform/BenchProcesses.h"
#include "platform/ProcessUsage.h"

#include "core/Notifier.h"
#include "core/WindowGeometryStore.h"
#include "trends/SampleRing.h"
#include "trends/ui/TrendChart.h"
#include "trends/ui/TrendsWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

double mb(qint64 bytes) {
    return double(bytes) / 1e6;
}

qint64 ownResident() {
    return processUsage(QCoreApplication::applicationPid()).residentBytes;
}

void measureBusyLine(const QString& velmora, const QString& simulator, int seconds) {
    QTemporaryDir homeClosed, homeOpen;
    QProcess simClosed, simOpen, closed, open;
    const QStringList busyByFrame{QStringLiteral("--converter-period"), QStringLiteral("30"),
                                  QStringLiteral("--hpu-period"),       QStringLiteral("45"),
                                  QStringLiteral("--delivery"),         QStringLiteral("frame")};
    const QString deviceClosed = startSimulator(simClosed, simulator, busyByFrame);
    const QString deviceOpen = startSimulator(simOpen, simulator, busyByFrame);
    if (deviceClosed.isEmpty() || deviceOpen.isEmpty()) {
        say(QStringLiteral("busy line: the simulator gave no device"));
        return;
    }
    closed.setProcessEnvironment(appEnvironment(homeClosed.path()));
    open.setProcessEnvironment(appEnvironment(homeOpen.path()));
    closed.start(velmora, {QStringLiteral("--port"), deviceClosed, QStringLiteral("--connect")});
    open.start(velmora, {QStringLiteral("--port"), deviceOpen, QStringLiteral("--connect"),
                         QStringLiteral("--trends")});
    if (!closed.waitForStarted(10000) || !open.waitForStarted(10000)) {
        say(QStringLiteral("busy line: the application did not start"));
        return;
    }
    QThread::sleep(5); // both windows shown, connected, decoding
    simClosed.readAllStandardOutput();
    simOpen.readAllStandardOutput();
    const ProcessUsage closedStart = processUsage(closed.processId());
    const ProcessUsage openStart = processUsage(open.processId());
    QElapsedTimer clock;
    clock.start();
    for (int s = 0; s < seconds && closed.state() == QProcess::Running && open.state() == QProcess::Running;
         ++s) {
        QThread::sleep(1);
        simClosed.readAllStandardOutput();
        simOpen.readAllStandardOutput();
    }
    const ProcessUsage closedEnd = processUsage(closed.processId());
    const ProcessUsage openEnd = processUsage(open.processId());
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const bool running = closed.state() == QProcess::Running && open.state() == QProcess::Running;
    for (QProcess* p : {&closed, &open, &simClosed, &simOpen})
        stop(*p);
    if (!running || closedEnd.cpuSeconds < 0 || openEnd.cpuSeconds < 0) {
        say(QStringLiteral("busy line: an application stopped or its usage could not be read"));
        return;
    }
    const double closedShare = 100.0 * (closedEnd.cpuSeconds - closedStart.cpuSeconds) / wall;
    const double openShare = 100.0 * (openEnd.cpuSeconds - openStart.cpuSeconds) / wall;
    say(QStringLiteral("busy line, side by side for %1 s: trends window closed %2 %, open %3 % of one core: "
                       "%4 points more with it open (target at most 0.5); resident %5 MB closed, %6 MB open")
            .arg(wall, 0, 'f', 0)
            .arg(closedShare, 0, 'f', 2)
            .arg(openShare, 0, 'f', 2)
            .arg(openShare - closedShare, 0, 'f', 2)
            .arg(mb(closedEnd.residentBytes), 0, 'f', 1)
            .arg(mb(openEnd.residentBytes), 0, 'f', 1));
}

class SilentNotifier : public Notifier {
public:
    void showMessage(const QString& text) override { say(QStringLiteral("message: ") + text); }
    void beep() override {}
};

SecondSample busySample(const QDateTime& time, int k) {
    SecondSample s;
    s.time = time;
    s.inputVoltage = 48 + (k % 60) * 0.1;
    s.outputVoltage = 27.3;
    s.outputCurrent = 5 + (k % 17) * 0.05;
    s.outputPower = *s.outputVoltage * *s.outputCurrent;
    s.speed = 1500 + k % 100;
    s.temperature = 35 + (k % 300) * 0.01;
    s.hpuPresent = true;
    s.pressure = 2 + (k % 40) * 0.05;
    return s;
}

// The median of runs redraws, and of the curves' part alone (the runs and gaps, the series).
double medianRedrawMs(TrendsWindow& window, int runs, double* curvesMs = nullptr) {
    QVector<double> times, curves;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        window.refresh();
        curves.append(double(clock.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents(); // the charts' scenes take in the new points
        window.repaint();                  // the paint the event loop would do
        times.append(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::sort(curves.begin(), curves.end());
    if (curvesMs)
        *curvesMs = curves[curves.size() / 2];
    return times[times.size() / 2];
}

void measureHourAndRedraw() {
    const qint64 before = ownResident();
    SampleRing ring;
    const QDateTime start = QDateTime::currentDateTime().addSecs(-3600);
    for (int k = 0; k < SampleRing::kOneHour; ++k)
        ring.append(busySample(start.addSecs(k), k));
    const qint64 withHour = ownResident();

    SilentNotifier notifier;
    SettingsWindowGeometryStore geometry{QString()}; // keeps nothing
    TrendsWindow window(
        ring,
        [] {
            return TrendThresholds{53.0, 3000.0, 80.0, 5.0};
        },
        notifier, geometry, [] { return QString(); });
    window.show();
    window.setSpanMinutes(60);
    QCoreApplication::processEvents();
    const qint64 withWindow = ownResident();
    double hourCurvesMs = 0;
    const double hourMs = medianRedrawMs(window, 15, &hourCurvesMs);
    window.setSpanMinutes(10);
    const double tenMs = medianRedrawMs(window, 15);
    say(QStringLiteral(
            "memory, an hour of samples (%1 points of %2 bytes): resident %3 MB before, %4 MB with the "
            "ring full (+%5 MB), %6 MB with the trends window drawing it")
            .arg(ring.size())
            .arg(sizeof(TrendPoint))
            .arg(mb(before), 0, 'f', 1)
            .arg(mb(withHour), 0, 'f', 1)
            .arg(mb(withHour - before), 0, 'f', 2)
            .arg(mb(withWindow), 0, 'f', 1));
    say(QStringLiteral(
            "redraw of the trends window, once a second while open, median of 15: 60-minute span of a "
            "full hour %1 ms (%2 % of one core; the curves alone %5 ms), 10-minute span %3 ms (%4 %)")
            .arg(hourMs, 0, 'f', 2)
            .arg(hourMs / 10.0, 0, 'f', 2)
            .arg(tenMs, 0, 'f', 2)
            .arg(tenMs / 10.0, 0, 'f', 2)
            .arg(hourCurvesMs, 0, 'f', 2));
}

// A log of the tool's own layout, 10 columns, until it reaches bytes; the number of lines.
int writeLargeLog(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    QByteArray block = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];Mode "
                       "HPU;Pression (bar);Correction pitch;\n";
    qint64 written = 0;
    int lines = 0;
    for (int k = 0; written < bytes; ++k, ++lines) {
        const int s = k % 86400;
        char line[128];
        const int n = std::snprintf(
            line, sizeof line, "%02d:%02d:%02d;%06.3f;27.310;%06.3f;139.8;%d;35.2;Auto;%4.2f;inactive;\n",
            s / 3600, s / 60 % 60, s % 60, 48 + (k % 60) * 0.1, 5 + (k % 17) * 0.05, 1500 + k % 100,
            2 + (k % 40) * 0.05);
        block.append(line, n);
        if (block.size() > (1 << 20)) {
            written += file.write(block);
            block.clear();
        }
    }
    file.write(block);
    return lines;
}

void measureLargeLog() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2026_01_01_LogOrvane_FT4ABCDE.csv"));
    const int lines = writeLargeLog(path, 100'000'000);
    const qint64 size = QFileInfo(path).size();

    // Reference: the bare bytes, read in the same chunks, in this thread.
    QElapsedTimer clock;
    clock.start();
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        qint64 sum = 0;
        while (!file.atEnd())
            sum += file.read(CsvLogReader::kChunkBytes).size();
        Q_UNUSED(sum);
    }
    const double bareMs = double(clock.nsecsElapsed()) / 1e6;

    SampleRing ring;
    SilentNotifier notifier;
    SettingsWindowGeometryStore geometry{QString()}; // keeps nothing
    TrendsWindow window(
        ring,
        [] {
            return TrendThresholds{53.0, 3000.0, 80.0, 5.0};
        },
        notifier, geometry, [] { return QString(); });
    window.show();
    QCoreApplication::processEvents();

    // The event loop's pulse: the longest gap between 10 ms ticks tells how long the window froze.
    QElapsedTimer pulseClock;
    qint64 lastPulse = 0;
    qint64 longestStall = 0;
    QTimer pulse;
    pulse.setInterval(10);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        const qint64 now = pulseClock.elapsed();
        longestStall = std::max(longestStall, now - lastPulse);
        lastPulse = now;
    });

    // Reference: the same pulse with nothing to read, for as long, on this (shared) machine.
    pulseClock.start();
    pulse.start();
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    pulse.stop();
    const qint64 idleStall = longestStall;
    longestStall = 0;
    lastPulse = 0;

    double firstCurveMs = -1;
    QObject::connect(&window, &TrendsWindow::redrawn, [&] {
        if (firstCurveMs < 0 && !window.chart(TrendChannel::InputVoltage)->drawnSegments().isEmpty())
            firstCurveMs = double(clock.nsecsElapsed()) / 1e6;
    });
    clock.restart();
    pulseClock.start();
    pulse.start();
    window.openLog(path);
    while (window.isReading() && clock.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double wholeMs = double(clock.nsecsElapsed()) / 1e6;
    pulse.stop();
    say(QStringLiteral("large log, %1 MB (%2 lines): first curve after %3 ms, whole file drawn after %4 ms; "
                       "longest stall of the window's event loop meanwhile %5 ms (%7 ms idle for 3 s on this "
                       "machine); reading the bare bytes alone %6 ms")
            .arg(mb(size), 0, 'f', 0)
            .arg(lines)
            .arg(firstCurveMs, 0, 'f', 0)
            .arg(wholeMs, 0, 'f', 0)
            .arg(longestStall)
            .arg(bareMs, 0, 'f', 0)
            .arg(idleStall));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_trends <velmora> <velmora-sim> [seconds]\n");
        return 2;
    }
    const int seconds = args.size() > 3 ? args[3].toInt() : 60;
    measureHourAndRedraw();
    measureLargeLog();
    if (seconds > 0)
        measureBusyLine(args[1], args[2], seconds);
    return 0;
}

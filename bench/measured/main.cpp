// velmora-measured: the application as velmora runs it, with the switches the benchmarks use
// to measure it from outside (see MeasurementRun.h). Built for `make bench` only.
#include "app/RunningApplication.h"
#include "measured/MeasurementRun.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QElapsedTimer sinceMain; // for --measure-startup
    sinceMain.start();

    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication app(argc, argv);
    setApplicationIdentity();

    const MeasuredCommandLine options = parseMeasuredCommandLine(QApplication::arguments());
    if (options.startup.exit) {
        std::fputs(options.startup.message.toLocal8Bit().constData(),
                   options.startup.exitCode == 0 ? stdout : stderr);
        return options.startup.exitCode;
    }

    RunningApplication running(options.startup);
    startMeasurements(running.window(), options.measurement, sinceMain);
    return app.exec();
}

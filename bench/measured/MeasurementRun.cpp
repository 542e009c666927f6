#include "measured/MeasurementRun.h"

#include "app/WindowMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

// Watches the paint events of the main window's widgets; once the first has been handled,
// the time is told.
class FirstPaintProbe : public QObject {
public:
    FirstPaintProbe(WindowMain& window, const QElapsedTimer& sinceMain, std::function<void(qint64)> told)
        : QObject(&window)
        , window_(window)
        , sinceMain_(sinceMain)
        , told_(std::move(told)) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window() == &window_) {
                seen_ = true;
                qApp->removeEventFilter(this); // one paint is all it waits for
                // Queued: told once this paint has been done and put on screen.
                QTimer::singleShot(0, this, [this] { told_(sinceMain_.elapsed()); });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    WindowMain& window_;
    const QElapsedTimer& sinceMain_;
    std::function<void(qint64)> told_;
    bool seen_ = false;
};

} // namespace

void watchFirstPaint(WindowMain& window, const QElapsedTimer& sinceMain, std::function<void(qint64)> told) {
    new FirstPaintProbe(window, sinceMain, std::move(told));
}

MeasuredCommandLine parseMeasuredCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption measureStartupOption(
        QStringLiteral("measure-startup"),
        QStringLiteral("Prints the time from start to the first painted main window, then quits."));
    const QCommandLineOption connectOption(
        QStringLiteral("connect"), QStringLiteral("Connects at once to the last device of the list."));
    const QCommandLineOption keepRequestingOption(
        QStringLiteral("keep-requesting"),
        QStringLiteral("Keeps an EEPROM read request pending, so that a command follows every converter "
                       "frame (for measuring the emission timing)."));
    const QCommandLineOption withoutReportsOption(
        QStringLiteral("without-reports"),
        QStringLiteral("Leaves the bus health refresh and the event journal off (for measuring what "
                       "they cost)."));
    parser.addOptions({measureStartupOption, connectOption, keepRequestingOption, withoutReportsOption});

    MeasuredCommandLine line;
    line.startup = parseCommandLine(arguments, parser);
    if (line.startup.exit)
        return line;
    line.measurement.measureStartup = parser.isSet(measureStartupOption);
    line.measurement.connectAtStart = parser.isSet(connectOption);
    line.measurement.keepRequesting = parser.isSet(keepRequestingOption);
    line.measurement.withoutReports = parser.isSet(withoutReportsOption);
    return line;
}

void startMeasurements(WindowMain& window, const MeasurementOptions& options,
                       const QElapsedTimer& sinceMain) {
    if (options.measureStartup)
        watchFirstPaint(window, sinceMain, [](qint64 ms) {
            std::printf("first paint after %lld ms\n", static_cast<long long>(ms));
            std::fflush(stdout);
            QApplication::quit();
        });

    Monitor& monitor = window.monitor();
    if (options.withoutReports)
        monitor.setReportsEnabled(false);
    if (options.connectAtStart) {
        // The device listed last, as the list selects a device just plugged in.
        const QStringList devices = monitor.devices();
        if (!devices.isEmpty())
            monitor.connectTo(devices.last());
    }
    if (options.keepRequesting) {
        auto* requests = new QTimer(&window);
        QObject::connect(requests, &QTimer::timeout, &window, [&monitor] {
            if (!monitor.state().emissionRequest)
                monitor.lectureEEPROM_HPU();
        });
        requests->start(20);
    }
}

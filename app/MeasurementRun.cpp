#include "app/MeasurementRun.h"

#include "app/CommandLine.h"
#include "app/WindowMain.h"

#include <QApplication>
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

void startMeasurements(WindowMain& window, const StartupOptions& options, const QElapsedTimer& sinceMain) {
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
        monitor.PortListUpdater_Action();
        const int last = int(monitor.controls().SerialPortsPopupMenu_rows.size()) - 1;
        monitor.SerialPortsPopupMenu_SelectionChanged(last);
        if (last >= 0)
            monitor.ConnectButton_Action();
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

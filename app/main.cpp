#include "app/CommandLine.h"
#include "app/DesktopPlatform.h"
#include "app/MainMenuBar.h"
#include "app/MeasurementRun.h"
#include "app/WindowMain.h"
#include "datalog/CaptureReader.h"
#include "sim/DemoDevice.h"
#include "sim/ReplayDevice.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QElapsedTimer sinceMain; // for --measure-startup
    sinceMain.start();

    // 1. High-resolution displays (always on in Qt 6) and the dark appearance, which the
    //    platform style follows and the gauge's scale colour reads from the palette.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

    // 2. The application object with its version, and the menu bar.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(VELMORA_VERSION_MAJOR)
                                            .arg(VELMORA_VERSION_MINOR)
                                            .arg(VELMORA_VERSION_PATCH));

    // Read once the application has taken out Qt's own options (-platform, -style ...).
    const StartupOptions options = parseCommandLine(QApplication::arguments());
    if (options.exit) {
        std::fputs(options.message.toLocal8Bit().constData(), options.exitCode == 0 ? stdout : stderr);
        return options.exitCode;
    }

    auto* menuBar = new MainMenuBar; // the window takes it as its own

    // 3. The main window: controls, menu handlers, version text, then its opening
    //    (quit with the last window, read the alarm settings).
    DesktopPlatform platform(options.extraPorts);
    std::unique_ptr<DemoPlatform> demo; // --demo: the simulated installation as one more device
    if (options.demo)
        demo = std::make_unique<DemoPlatform>(platform.platform());
    Platform chosen = demo ? demo->platform() : platform.platform();
    // --replay: the capture as one more device, unless it is damaged; the tool goes on without it.
    std::unique_ptr<ReplayPlatform> replay;
    QString replayRefusal;
    if (!options.replayPath.isEmpty()) {
        CaptureReader check;
        if (check.open(options.replayPath))
            replay = std::make_unique<ReplayPlatform>(chosen, options.replayPath, options.replaySpeed);
        else
            replayRefusal = ReplaySerialPort::damagedMessage(options.replayPath, check.errorString());
    }
    WindowMain window(replay ? replay->platform() : chosen, platform.browser(), menuBar);
    platform.notifier().setParent(&window);
    window.setRecordLimit(options.recordLimit);
    window.show();
    if (!replayRefusal.isEmpty()) {
        std::fprintf(stderr, "velmora: %s\n", qPrintable(replayRefusal));
        platform.notifier().showMessage(replayRefusal);
    }
    if (!options.recordPath.isEmpty())
        window.busRecorder().start(options.recordPath, options.recordLimit);
    startMeasurements(window, options, sinceMain);

    // 4. The event loop; the timers run from their design state.
    return app.exec();
}

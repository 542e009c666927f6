#include "app/CommandLine.h"
#include "app/DesktopPlatform.h"
#include "app/MainMenuBar.h"
#include "app/MeasurementRun.h"
#include "app/Translations.h"
#include "app/WindowMain.h"
#include "sim/DemoDevice.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>

namespace {

void setApplicationIdentity() {
    // Also names the user's settings folder of an installed copy (~/.config/Orvane/Velmora).
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(VELMORA_VERSION_MAJOR)
                                                .arg(VELMORA_VERSION_MINOR)
                                                .arg(VELMORA_VERSION_PATCH));
}

int printAndExit(const StartupOptions& options) {
    std::fputs(options.message.toLocal8Bit().constData(), options.exitCode == 0 ? stdout : stderr);
    return options.exitCode;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain; // for --measure-startup
    sinceMain.start();

    // --help and --version are answered from a plain core application, before the GUI one
    // exists: they need no display (over SSH, in a package check).
    {
        QCoreApplication console(argc, argv);
        setApplicationIdentity();
        const StartupOptions early = parseCommandLine(QCoreApplication::arguments());
        if (answersWithoutWindows(early))
            return printAndExit(early);
    }

    // 1. High-resolution displays (always on in Qt 6) and the dark appearance, which the
    //    platform style follows and the gauge's scale colour reads from the palette.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

    // 2. The application object with its version, and the menu bar.
    QApplication app(argc, argv);
    setApplicationIdentity();
    QGuiApplication::setDesktopFileName(QStringLiteral("com.orvane.velmora"));
    installTranslations(app); // French where the system's locale asks for it

    // Mistakes are told once the application has taken out Qt's own options (-platform, -style ...).
    const StartupOptions options = parseCommandLine(QApplication::arguments());
    if (options.exit)
        return printAndExit(options);

    auto* menuBar = new MainMenuBar; // the window takes it as its own

    // 3. The main window: controls, menu handlers, version text, then its opening
    //    (quit with the last window, read the alarm settings).
    DesktopPlatform platform(options.extraPorts);
    std::unique_ptr<DemoPlatform> demo; // --demo: the simulated installation as one more device
    if (options.demo)
        demo = std::make_unique<DemoPlatform>(platform.platform());
    WindowMain window(demo ? demo->platform() : platform.platform(), platform.browser(), menuBar);
    platform.notifier().setParent(&window);
    window.show();
    startMeasurements(window, options, sinceMain);

    // 4. The event loop; the timers run from their design state.
    return app.exec();
}

#include "app/CommandLine.h"
#include "app/RunningApplication.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // 1. High-resolution displays (always on in Qt 6) and the dark appearance, which the
    //    platform style follows and the gauge's scale colour reads from the palette.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

    // 2. The application object with its version.
    QApplication app(argc, argv);
    setApplicationIdentity();

    // Read once the application has taken out Qt's own options (-platform, -style ...).
    const StartupOptions options = parseCommandLine(QApplication::arguments());
    if (options.exit) {
        std::fputs(options.message.toLocal8Bit().constData(), options.exitCode == 0 ? stdout : stderr);
        return options.exitCode;
    }

    // 3. The menu bar and the main window, shown.
    RunningApplication running(options);

    // 4. The event loop; the timers run from their design state.
    return app.exec();
}

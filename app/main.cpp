#include "app/CommandLine.h"
#include "app/RunningApplication.h"
#include "app/Translations.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>

namespace {

int printAndExit(const StartupOptions& options) {
    std::fputs(options.message.toLocal8Bit().constData(), options.exitCode == 0 ? stdout : stderr);
    return options.exitCode;
}

} // namespace

int main(int argc, char** argv) {
    // --help and --version are answered from a plain core application, before the GUI one
    // exists: they need no display (over SSH, in a package check).
    {
        QCoreApplication console(argc, argv);
        setApplicationIdentity();
        installTranslations(console); // --help in the user's language
        const StartupOptions early = parseCommandLine(QCoreApplication::arguments());
        if (answersWithoutWindows(early))
            return printAndExit(early);
    }

    // 1. High-resolution displays (always on in Qt 6) and the dark appearance, which the
    //    platform style follows and the gauge's scale colour reads from the palette.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

    // 2. The application object with its version.
    QApplication app(argc, argv);
    setApplicationIdentity();
    QGuiApplication::setDesktopFileName(QStringLiteral("com.orvane.velmora"));
    installTranslations(app); // French where the system's locale asks for it

    // Mistakes are told once the application has taken out Qt's own options (-platform, -style ...).
    const StartupOptions options = parseCommandLine(QApplication::arguments());
    if (options.exit)
        return printAndExit(options);

    // 3. The menu bar and the main window, shown.
    RunningApplication running(options);

    // 4. The event loop; the timers run from their design state.
    return app.exec();
}

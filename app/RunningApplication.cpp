#include "app/RunningApplication.h"

#include "app/CommandLine.h"
#include "app/MainMenuBar.h"

#include <QApplication>

void setApplicationIdentity() {
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(VELMORA_VERSION_MAJOR)
                                            .arg(VELMORA_VERSION_MINOR)
                                            .arg(VELMORA_VERSION_PATCH));
}

RunningApplication::RunningApplication(const StartupOptions& options)
    : platform_(options.extraPorts) {
    if (options.demo)
        demo_ = std::make_unique<DemoPlatform>(platform_.platform());
    auto* menuBar = new MainMenuBar; // the window takes it as its own
    // The main window: controls, menu handlers, version text, then its opening (quit with
    // the last window, read the alarm settings).
    window_ = std::make_unique<WindowMain>(demo_ ? demo_->platform() : platform_.platform(),
                                           platform_.browser(), menuBar);
    platform_.notifier().setParent(window_.get());
    window_->show();
}

RunningApplication::~RunningApplication() {
    // The window goes first: its monitor holds the platform's port and timers.
    window_.reset();
    demo_.reset();
}

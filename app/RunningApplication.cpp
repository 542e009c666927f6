#include "app/RunningApplication.h"

#include "app/CommandLine.h"
#include "app/MainMenuBar.h"
#include "core/Version.h"
#include "datalog/CaptureReader.h"

#include <QCoreApplication>

#include <cstdio>

void setApplicationIdentity() {
    // Also names the user's settings folder of an installed copy (~/.config/Orvane/Velmora).
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationVersion(velmoraVersion());
}

RunningApplication::RunningApplication(const StartupOptions& options)
    : platform_(options.extraPorts) {
    if (options.demo)
        demo_ = std::make_unique<DemoPlatform>(platform_.platform());
    const Platform chosen = demo_ ? demo_->platform() : platform_.platform();
    // --replay: the capture as one more device, unless it is damaged; the tool goes on without it.
    QString replayRefusal;
    if (!options.replayPath.isEmpty()) {
        CaptureReader check;
        if (check.open(options.replayPath))
            replay_ = std::make_unique<ReplayPlatform>(chosen, options.replayPath, options.replaySpeed);
        else
            replayRefusal = ReplaySerialPort::damagedMessage(options.replayPath, check.errorString());
    }
    auto* menuBar = new MainMenuBar; // the window takes it as its own
    // The main window: controls, menu handlers, version text, then its opening (quit with
    // the last window, read the alarm settings).
    window_ = std::make_unique<WindowMain>(replay_ ? replay_->platform() : chosen, platform_.browser(), menuBar);
    platform_.notifier().setParent(window_.get());
    window_->setRecordLimit(options.recordLimit);
    window_->show();
    if (options.trends)
        window_->showTrendsWindow();
    if (!replayRefusal.isEmpty()) {
        std::fprintf(stderr, "velmora: %s\n", qPrintable(replayRefusal));
        platform_.notifier().showMessage(replayRefusal);
    }
    if (!options.recordPath.isEmpty())
        window_->busRecorder().start(options.recordPath, options.recordLimit,
                                     CaptureWriter::Existing::KeepAndNumber);
}

RunningApplication::~RunningApplication() {
    // The window goes first: its monitor holds the platform's port and timers.
    window_.reset();
    replay_.reset();
    demo_.reset();
}

#pragma once

#include "app/DesktopPlatform.h"
#include "app/WindowMain.h"
#include "sim/DemoDevice.h"
#include "sim/ReplayDevice.h"

#include <memory>

struct StartupOptions;

// Name, organisation (where the settings go) and version of the application object.
void setApplicationIdentity();

// What the application runs once its options are read: the real platform, the demo
// installation when --demo asks for it, and the main window with the application's menu bar,
// shown. Shared by velmora and the benchmark's measuring build, so both run the same window.
class RunningApplication {
public:
    explicit RunningApplication(const StartupOptions& options);
    ~RunningApplication();

    WindowMain& window() { return *window_; }

private:
    DesktopPlatform platform_;
    std::unique_ptr<DemoPlatform> demo_;
    std::unique_ptr<ReplayPlatform> replay_;
    std::unique_ptr<WindowMain> window_;
};

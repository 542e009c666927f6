#pragma once

#include "core/Notifier.h"

// The folder that holds the application's pictures, its sound and the two settings files:
// - macOS: Contents/Resources of the bundle;
// - elsewhere: "resources" next to the executable where there is one (a build folder, where
//   CMake copies the project's resources), otherwise the installed one, share/velmora beside
//   the bin folder of the executable (/usr/share/velmora for /usr/bin/velmora).
// Where that folder cannot take the settings files (an installed package), they live in the
// user's configuration folder (see SettingsFiles).
class ApplicationResourceFolder : public ResourceFolder {
public:
    QString path() const override;
    QString userSettingsPath() const override;
};

#pragma once

#include "core/Notifier.h"

// The folder inside the installed application that holds its pictures, its sound and the
// two settings files: Contents/Resources of the bundle on macOS, and elsewhere the folder
// "resources" next to the executable (the build copies the project's resources there).
class ApplicationResourceFolder : public ResourceFolder {
public:
    QString path() const override;
};

#pragma once

#include "core/Notifier.h"

#include <QString>

// Where the settings files ("Alarms_Settings.txt", "Log_Folder.txt") are read and written.
//
// A resource folder that can take a file (a build folder, a bundle the user owns, or a file
// that is itself writable in a read-only folder) keeps it there, as it always has. An
// installed package's resource folder belongs to the system: there the file lives in the
// user's settings folder, and until the user first saves it, the copy that the resource
// folder may hold is read, so an installation's shared defaults still apply.
class SettingsFiles {
public:
    explicit SettingsFiles(const ResourceFolder& resources) : resources_(resources) {}

    // The file to read; it need not exist. Empty when no folder can be determined.
    QString readPath(const QString& name) const;
    // The file to write. The user's settings folder is created when the file goes there.
    QString writePath(const QString& name) const;

private:
    bool resourceFolderTakes(const QString& name) const;
    QString userFilePath(const QString& name) const;

    const ResourceFolder& resources_;
};

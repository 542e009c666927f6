#pragma once

#include "core/Notifier.h"

#include <QString>

// Where the preferences window reads and saves the log folder setting, and what tells the
// user: all the window knows of the program that logs.
class LogFolderStore {
public:
    // Reads "Log_Folder.txt" again and returns the folder then in force, in Qt's form.
    virtual QString readLogFolder() = 0;
    // The folder in force, as last read.
    virtual QString logFolder() const = 0;
    // Replaces the setting with nativePath; false when the file cannot be written, the
    // previous setting then staying in force.
    virtual bool saveLogFolder(const QString& nativePath) = 0;
    virtual Notifier& notifier() const = 0;

protected:
    ~LogFolderStore() = default;
};

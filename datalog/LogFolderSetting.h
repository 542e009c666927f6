#pragma once

#include "core/Notifier.h"
#include "core/UserFolders.h"

#include <QString>

// The log folder setting: one line in "Log_Folder.txt" in the application's resource
// folder, the native path of the folder that receives the CSV log files. Without a
// setting the logs go to the user's Documents folder (the home folder where there is none).
//
// Folders are held in Qt's form ("/" separators); the file and the settings window carry
// the platform's native form.
class LogFolderSetting {
public:
    static QString fileName() { return QStringLiteral("Log_Folder.txt"); }

    LogFolderSetting(const ResourceFolder& resources, const UserFolders& userFolders);

    // Refreshes LogFolder from the settings file:
    // - no place for the file at all: LogFolder keeps what it holds;
    // - file absent: a folder set earlier stays, otherwise the default folder;
    // - file present: its first line (the rest is ignored) as a native path; an empty or
    //   relative line, or a file that cannot be opened, gives the default folder.
    void readLogPathFile(QString& LogFolder) const;

    // Replaces the settings file with nativePath as its one line. The file is swapped in
    // whole, so a failed write (false) leaves the previous setting in force.
    bool writeLogPathFile(const QString& nativePath) const;

    // The user's Documents folder, or the home folder when Documents cannot be found.
    QString defaultFolder() const;

private:
    const ResourceFolder& resources_;
    const UserFolders& userFolders_;
};

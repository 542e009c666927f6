#include "core/SettingsFiles.h"

#include <QDir>
#include <QFileInfo>

bool SettingsFiles::resourceFolderTakes(const QString& name) const {
    if (resources_.userSettingsPath().isEmpty())
        return true; // no other place: the resource folder, writable or not
    const QString folder = resources_.path();
    if (folder.isEmpty())
        return false;
    const QFileInfo folderInfo(folder);
    if (folderInfo.isDir() && folderInfo.isWritable())
        return true;
    // A writable file in a read-only folder is written in place (QSaveFile's direct write).
    const QFileInfo fileInfo(resources_.filePath(name));
    return fileInfo.isFile() && fileInfo.isWritable();
}

QString SettingsFiles::userFilePath(const QString& name) const {
    return QDir(resources_.userSettingsPath()).filePath(name);
}

QString SettingsFiles::readPath(const QString& name) const {
    if (resourceFolderTakes(name))
        return resources_.filePath(name);
    const QString own = userFilePath(name);
    if (QFileInfo::exists(own))
        return own;
    // Not saved by this user yet: the installation's copy, when there is one.
    const QString shared = resources_.filePath(name);
    return shared.isEmpty() ? own : shared;
}

QString SettingsFiles::writePath(const QString& name) const {
    if (resourceFolderTakes(name))
        return resources_.filePath(name);
    QDir().mkpath(resources_.userSettingsPath()); // a failure shows when the file is written
    return userFilePath(name);
}

#include "app/ApplicationResourceFolder.h"

#include "InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ApplicationResourceFolder::path() const {
    if (!QCoreApplication::instance())
        return QString(); // no application, no folder to determine
    const QDir executableDir(QCoreApplication::applicationDirPath());
#ifdef Q_OS_MACOS
    // <bundle>/Contents/MacOS/<executable> -> <bundle>/Contents/Resources
    return QDir::cleanPath(executableDir.absoluteFilePath(QStringLiteral("../Resources")));
#else
    const QString beside = executableDir.absoluteFilePath(QStringLiteral("resources"));
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(executableDir.absoluteFilePath(QStringLiteral(VELMORA_RESOURCES_FROM_BINDIR)));
#endif
}

QString ApplicationResourceFolder::userSettingsPath() const {
    if (!QCoreApplication::instance())
        return QString();
    // ~/.config/Orvane/Velmora on Linux, from the application's organisation and name.
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

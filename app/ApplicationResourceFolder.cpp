#include "app/ApplicationResourceFolder.h"

#include <QCoreApplication>
#include <QDir>

QString ApplicationResourceFolder::path() const {
    if (!QCoreApplication::instance())
        return QString(); // no application, no folder to determine
    const QDir executableDir(QCoreApplication::applicationDirPath());
#ifdef Q_OS_MACOS
    // <bundle>/Contents/MacOS/<executable> -> <bundle>/Contents/Resources
    return QDir::cleanPath(executableDir.absoluteFilePath(QStringLiteral("../Resources")));
#else
    return executableDir.absoluteFilePath(QStringLiteral("resources"));
#endif
}

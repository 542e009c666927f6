#include "datalog/LogFolderSetting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// A native path line turned into a folder, or an empty text when it names none.
QString resolveNativePath(const QString& line) {
    const QString path = QDir::fromNativeSeparators(line);
    if (path.trimmed().isEmpty() || !QDir::isAbsolutePath(path))
        return QString();
    return QDir::cleanPath(path);
}

} // namespace

LogFolderSetting::LogFolderSetting(const ResourceFolder& resources, const UserFolders& userFolders)
    : resources_(resources)
    , userFolders_(userFolders) {}

QString LogFolderSetting::defaultFolder() const {
    const QString documents = userFolders_.documents();
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return QDir::cleanPath(documents);
    const QString home = userFolders_.home();
    return home.isEmpty() ? QString() : QDir::cleanPath(home);
}

void LogFolderSetting::readLogPathFile(QString& LogFolder) const {
    const QString settingsPath = resources_.filePath(fileName());
    if (settingsPath.isEmpty())
        return;

    if (QFileInfo::exists(settingsPath)) {
        QFile file(settingsPath);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            // The file is there but yields nothing to read: the default folder applies.
            LogFolder = defaultFolder();
            return;
        }
        QString firstLine = QString::fromUtf8(file.readLine());
        while (firstLine.endsWith(QLatin1Char('\n')) || firstLine.endsWith(QLatin1Char('\r')))
            firstLine.chop(1);
        LogFolder = resolveNativePath(firstLine);
    }
    if (LogFolder.isEmpty())
        LogFolder = defaultFolder();
}

bool LogFolderSetting::writeLogPathFile(const QString& nativePath) const {
    const QString settingsPath = resources_.filePath(fileName());
    if (settingsPath.isEmpty())
        return false;
    QSaveFile file(settingsPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QByteArray line = nativePath.toUtf8() + '\n';
    if (file.write(line) != line.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

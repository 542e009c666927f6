#include "datalog/LogFolderSetting.h"

#include "core/SettingsFiles.h"
#include "core/WholeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Longer than any path a file system takes (32767 characters on Windows, 4096 bytes on Linux).
constexpr qint64 kMaxPathBytes = 64 * 1024;
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

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
    const QString settingsPath = SettingsFiles(resources_).readPath(fileName());
    if (settingsPath.isEmpty())
        return;

    if (QFileInfo::exists(settingsPath)) {
        QFile file(settingsPath);
        // Only a regular file: a device or a pipe in its place could block the tick for good.
        if (!QFileInfo(settingsPath).isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            // The file is there but yields nothing to read: the default folder applies.
            LogFolder = defaultFolder();
            return;
        }
        // Read twice a second: only as much of the first line as any path can take, so a huge
        // file in its place cannot fill memory.
        QByteArray firstLine = file.readLine(kMaxPathBytes);
        if (firstLine.startsWith(kUtf8ByteOrderMark)) // left by some editors
            firstLine.remove(0, qsizetype(sizeof kUtf8ByteOrderMark) - 1);
        while (firstLine.endsWith('\n') || firstLine.endsWith('\r'))
            firstLine.chop(1);
        LogFolder = resolveNativePath(QString::fromUtf8(firstLine));
    }
    if (LogFolder.isEmpty())
        LogFolder = defaultFolder();
}

bool LogFolderSetting::writeLogPathFile(const QString& nativePath) const {
    const QString settingsPath = SettingsFiles(resources_).writePath(fileName());
    if (settingsPath.isEmpty())
        return false;
    return WholeFileWriter::writeFile(settingsPath, nativePath.toUtf8() + '\n').isEmpty();
}

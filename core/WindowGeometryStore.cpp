#include "core/WindowGeometryStore.h"

#include <QDir>
#include <QSettings>

QString SettingsWindowGeometryStore::filePath() const {
    return folder_.isEmpty() ? QString() : QDir(folder_).filePath(QLatin1String(kFileName));
}

QByteArray SettingsWindowGeometryStore::load(const QString& window) const {
    if (folder_.isEmpty())
        return QByteArray();
    const QSettings settings(filePath(), QSettings::IniFormat);
    return settings.value(window + QStringLiteral("/geometry")).toByteArray();
}

void SettingsWindowGeometryStore::save(const QString& window, const QByteArray& geometry) {
    if (folder_.isEmpty())
        return;
    QDir().mkpath(folder_); // a failure only means the next run opens at the default size
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.setValue(window + QStringLiteral("/geometry"), geometry);
}

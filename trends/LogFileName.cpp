#include "trends/LogFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

LogFileName LogFileName::parse(const QString& fileName) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})_(\\d{2})_(\\d{2})_LogOrvane_(.*)\\.csv$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    LogFileName name;
    if (!match.hasMatch())
        return name;
    name.date = QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (name.date.isValid())
        name.adapter = match.captured(4);
    return name;
}

QString neighbouringLog(const QString& path, int step) {
    const QFileInfo info(path);
    const LogFileName current = LogFileName::parse(info.fileName());
    if (!current.isValid() || step == 0)
        return QString();
    const QDir folder = info.absoluteDir();
    QString best;
    QDate bestDate;
    for (const QString& entry : folder.entryList({QStringLiteral("*_LogOrvane_*.csv")}, QDir::Files)) {
        const LogFileName other = LogFileName::parse(entry);
        if (!other.isValid() || other.adapter != current.adapter)
            continue;
        const bool rightSide = step < 0 ? other.date < current.date : other.date > current.date;
        const bool closer = !bestDate.isValid() || (step < 0 ? other.date > bestDate : other.date < bestDate);
        if (rightSide && closer) {
            best = folder.filePath(entry);
            bestDate = other.date;
        }
    }
    return best;
}

QString newestLogAdapter(const QString& folder) {
    if (folder.isEmpty())
        return QString();
    LogFileName newest;
    for (const QString& entry : QDir(folder).entryList({QStringLiteral("*_LogOrvane_*.csv")}, QDir::Files)) {
        const LogFileName name = LogFileName::parse(entry);
        if (name.isValid() && (!newest.isValid() || name.date > newest.date))
            newest = name;
    }
    return newest.adapter;
}

#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Whole-file reads and writes for fixtures; a missing file reads as "<missing>" so a
// comparison names the problem.
inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

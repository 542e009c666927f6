#include "datalog/WholeLineFile.h"

#include <QFile>

namespace {

// Appends bytes in one write, flushed and checked. The file is opened unbuffered, so the
// write reaches the system at once and nothing is left to trickle out at close; on failure
// the file is cut back to its previous length, so a half-written line never stays behind.
bool appendWhole(QFile& file, const QByteArray& bytes) {
    const qint64 before = file.size();
    if (file.write(bytes) == bytes.size() && file.flush()) {
        file.close();
        return file.error() == QFileDevice::NoError;
    }
    if (!file.isSequential())
        file.resize(before);
    file.close();
    return false;
}

} // namespace

namespace WholeLineFile {

bool create(const QString& path, const QByteArray& header) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return false;
    if (appendWhole(file, header))
        return true;
    // An incomplete header must not pass for a file that has one.
    file.remove();
    return false;
}

bool append(const QString& path, const QByteArray& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    return appendWhole(file, lines);
}

} // namespace WholeLineFile

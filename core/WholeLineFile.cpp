#include "core/WholeLineFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Appends bytes in one write, flushed and checked. The file is opened unbuffered, so the
// write reaches the system at once and nothing is left to trickle out at close; on failure
// the file is cut back to its previous length, so a half-written line never stays behind.
bool appendWhole(QFile& file, const QByteArray& bytes, qint64 before) {
    if (file.write(bytes) == bytes.size() && file.flush()) {
        file.close();
        return file.error() == QFileDevice::NoError;
    }
    if (!file.isSequential())
        file.resize(before);
    file.close();
    return false;
}

// The last byte of an open file; a line feed when it has none to read (empty, or a device).
char lastByte(QFile& file, qint64 size) {
    char byte = 0;
    if (size > 0 && !file.isSequential() && file.seek(size - 1) && file.read(&byte, 1) == 1)
        return byte;
    return '\n';
}

} // namespace

namespace WholeLineFile {

Outcome appendHeaded(const QString& path, const QByteArray& header, const QByteArray& lines) {
    const QFileInfo info(path);
    const bool existed = info.exists() || info.isSymLink();
    if (info.isDir())
        return Outcome::Refused;
    QFile file(path);
    // Read as well, for the last byte; writes still go to the end (append mode), so two
    // writers of one file interleave whole lines instead of overwriting each other.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return existed ? Outcome::Refused : Outcome::Failed;
    const qint64 before = file.size();
    QByteArray bytes;
    if (before == 0)
        bytes = header;
    else if (lastByte(file, before) != '\n')
        bytes = "\n";
    bytes += lines;
    if (appendWhole(file, bytes, before))
        return Outcome::Written;
    if (!existed)
        file.remove();
    return Outcome::Failed;
}

QString numberedBeside(const QString& path, int number) {
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
    return base + QLatin1Char('-') + QString::number(number) +
           (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

} // namespace WholeLineFile

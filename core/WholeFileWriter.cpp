#include "core/WholeFileWriter.h"

WholeFileWriter::WholeFileWriter(const QString& path)
    : file_(path) {
    file_.setDirectWriteFallback(true);
}

WholeFileWriter::~WholeFileWriter() {
    if (file_.isOpen())
        fail(); // abandoned: the old file stays
}

bool WholeFileWriter::open() {
    return file_.open(QIODevice::WriteOnly);
}

bool WholeFileWriter::write(const QByteArray& bytes) {
    if (failed_)
        return false;
    if (file_.write(bytes) == bytes.size())
        return true;
    fail();
    return false;
}

bool WholeFileWriter::commit() {
    if (failed_)
        return false;
    if (!file_.flush()) {
        fail();
        return false;
    }
    if (file_.commit())
        return true;
    failed_ = true;
    error_ = file_.errorString();
    return false;
}

void WholeFileWriter::fail() {
    failed_ = true;
    error_ = file_.errorString();
    // Closed through a cancelled commit, which drops the temporary file. QSaveFile's own
    // destructor would instead remove the file it writes to, and that is the file itself
    // when it is written in place.
    file_.cancelWriting();
    file_.commit();
}

QString WholeFileWriter::writeFile(const QString& path, const QByteArray& bytes) {
    WholeFileWriter file(path);
    if (file.open() && file.write(bytes) && file.commit())
        return QString();
    // Never empty: an empty answer means written.
    const QString why = file.errorString();
    return why.isEmpty() ? QStringLiteral("Unknown error") : why;
}

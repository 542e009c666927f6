#include "datalog/CaptureReader.h"

#include <QCoreApplication>

bool CaptureReader::fail(const QString& what) {
    error_ = what;
    return false;
}

bool CaptureReader::open(const QString& path) {
    file_.close();
    error_.clear();
    chunks_ = 0;
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return fail(
            QCoreApplication::translate("CaptureReader", "cannot be opened (%1)").arg(file_.errorString()));
    // The size decides before any byte is read: a huge or sparse file costs nothing.
    const qint64 size = file_.size();
    if (size == 0)
        return fail(QCoreApplication::translate("CaptureReader", "the file is empty"));
    if (size > Capture::kMaxFileBytes)
        return fail(
            QCoreApplication::translate("CaptureReader", "the file is too large (%1 MiB, at most %2 MiB)")
                .arg(size >> 20)
                .arg(Capture::kMaxFileBytes >> 20));
    if (!rewind())
        return false;
    Capture::Chunk chunk;
    while (readChunk(chunk))
        ++chunks_;
    if (!error_.isEmpty())
        return false;
    return rewind();
}

bool CaptureReader::rewind() {
    if (!file_.seek(0))
        return fail(
            QCoreApplication::translate("CaptureReader", "cannot be read (%1)").arg(file_.errorString()));
    lineNumber_ = 1;
    previousUs_ = 0;
    QByteArray first = file_.readLine(Capture::header().size() + 3);
    while (first.endsWith('\n') || first.endsWith('\r'))
        first.chop(1);
    if (first != Capture::header()) {
        if (first.startsWith("# velmora capture "))
            return fail(QCoreApplication::translate(
                            "CaptureReader", "line 1: capture version %1 is not supported (version 1 is)")
                            .arg(QString::fromLatin1(first.mid(18, 10))));
        return fail(QCoreApplication::translate("CaptureReader",
                                                "line 1: not a capture (the first line must be \"%1\")")
                        .arg(QString::fromLatin1(Capture::header())));
    }
    return true;
}

bool CaptureReader::next(Capture::Chunk& chunk) {
    return file_.isOpen() && error_.isEmpty() && readChunk(chunk);
}

bool CaptureReader::readChunk(Capture::Chunk& chunk) {
    for (;;) {
        if (file_.atEnd())
            return false;
        ++lineNumber_;
        QByteArray line = file_.readLine(Capture::kMaxLineBytes + 2);
        if (line.isEmpty() && !file_.atEnd())
            return fail(QCoreApplication::translate("CaptureReader", "line %1: cannot be read (%2)")
                            .arg(lineNumber_)
                            .arg(file_.errorString()));
        if (line.endsWith('\n'))
            line.chop(1);
        else if (!file_.atEnd())
            return fail(QCoreApplication::translate("CaptureReader", "line %1: longer than %2 characters")
                            .arg(lineNumber_)
                            .arg(Capture::kMaxLineBytes));
        bool isChunk = false;
        const QString wrong = Capture::parseLine(line, previousUs_, chunk, &isChunk);
        if (!wrong.isEmpty())
            return fail(
                QCoreApplication::translate("CaptureReader", "line %1: %2").arg(lineNumber_).arg(wrong));
        if (isChunk) {
            previousUs_ = chunk.us;
            return true;
        }
    }
}

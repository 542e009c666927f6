#include "datalog/DayFileWriter.h"

#include "core/WholeLineFile.h"

#include <QCoreApplication>

DayFileWriter::Result DayFileWriter::append(const QString& path, const QByteArray& header,
                                            const QByteArray& lines) {
    Result result;
    result.path = path;
    for (int number = 1; number <= kLastNumber; ++number) {
        const QString candidate = number == 1 ? path : WholeLineFile::numberedBeside(path, number);
        switch (WholeLineFile::appendHeaded(candidate, header, lines)) {
        case WholeLineFile::Outcome::Written:
            result.written = true;
            result.path = candidate;
            if (number > 1 && toldMove_ != candidate) {
                toldMove_ = candidate;
                result.movedFrom = path;
            }
            return result;
        case WholeLineFile::Outcome::Failed:
            // The folder or the disk fails: a name beside it would fail the same way.
            result.path = candidate;
            return result;
        case WholeLineFile::Outcome::Refused:
            break;
        }
    }
    return result;
}

QString DayFileWriter::movedMessage(const QString& refused, const QString& used) {
    return QCoreApplication::translate("Messages", "%1 cannot be written to; the log goes on in %2.")
        .arg(refused, used);
}

#pragma once

#include <QByteArray>
#include <QString>

// One day file of the log (the CSV log or the event journal of an adapter), written a few lines
// at a time. A day file that exists but refuses appending (a folder in its place, a file of
// another owner) does not stop the log: the lines go to the first of "<name>-2.csv" to
// "<name>-9.csv" beside it that takes them, the same one at every write and after a restart,
// and the move is reported once.
class DayFileWriter {
public:
    static constexpr int kLastNumber = 9;

    struct Result {
        bool written = false;
        QString path;      // where the lines went; when not written, the file that failed
        QString movedFrom; // the refused file, the first time its lines went beside it
    };

    Result append(const QString& path, const QByteArray& header, const QByteArray& lines);

    // The one message of a move, in the user's language where the program has it.
    static QString movedMessage(const QString& refused, const QString& used);

private:
    QString toldMove_; // the file last reported as taking a refused file's lines
};

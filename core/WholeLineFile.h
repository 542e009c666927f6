#pragma once

#include <QByteArray>
#include <QString>

// Files that other tools read while they are written (the day files of the log) take whole
// lines only: a line cut short by a full disk would be read as data.
namespace WholeLineFile {

enum class Outcome {
    Written,
    Refused, // the file exists but cannot be opened for appending (a folder, another owner)
    Failed,  // it cannot be created, or the write did not go through (folder gone, disk full)
};

// Appends lines to a file that begins with a header, as the day files of the log do. The power
// can go at any moment, so what a previous run left is mended first: a file that is missing or
// empty (cut right after its creation) gets the header before the lines, and a last line left
// without its line feed (cut mid-line) is ended, so the new line never joins it. All of it goes
// in one write; on failure the file is cut back, and a file this call created is removed.
Outcome appendHeaded(const QString& path, const QByteArray& header, const QByteArray& lines);

// "name-2.csv" for "name.csv" and 2: the name a file takes beside one that must not be touched.
QString numberedBeside(const QString& path, int number);

} // namespace WholeLineFile

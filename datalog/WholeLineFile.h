#pragma once

#include <QByteArray>
#include <QString>

// The log's files take whole lines only: other tools read them while the tool writes, and a
// line cut short by a full disk would be read as data.
namespace WholeLineFile {

// Creates the file (it must not exist) holding exactly these bytes; on failure nothing stays.
bool create(const QString& path, const QByteArray& header);
// Appends the bytes in one write; on failure the file is cut back to its previous length.
bool append(const QString& path, const QByteArray& lines);

} // namespace WholeLineFile

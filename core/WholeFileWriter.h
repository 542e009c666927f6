#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// Writes a file whole or not at all: the bytes go to a temporary file beside it, which takes
// the old file's place only once everything was written and flushed. Left without commit()
// (a failure, a cancel), the old file stays as it was. Where only the file, not its folder,
// may be written (a settings file in a read-only installation), it is written in place.
class WholeFileWriter {
public:
    explicit WholeFileWriter(const QString& path);
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    // false when the file cannot be created.
    bool open();
    // All the bytes, or false.
    bool write(const QByteArray& bytes);
    // Flushed, then put in place. The explicit flush: a buffered write that fails only when
    // flushed (a full disk) would otherwise still be committed, an empty file replacing the old.
    bool commit();
    // Why the first step that failed did.
    QString errorString() const { return failed_ ? error_ : file_.errorString(); }

    // The whole of bytes in path: an empty string, or why the file could not be written.
    static QString writeFile(const QString& path, const QByteArray& bytes);

private:
    void fail();

    QSaveFile file_;
    bool failed_ = false; // nothing more is written, nothing committed
    QString error_;
};

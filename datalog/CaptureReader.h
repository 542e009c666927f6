#pragma once

#include "datalog/CaptureFormat.h"

#include <QFile>
#include <QString>

// Reads a capture back, one chunk at a time, so that a long capture is never held in memory.
// open() refuses a damaged capture whole, before anything is played: first from its size
// alone, then from its header and every line, naming the first line that is wrong.
class CaptureReader {
public:
    // On success the reader stands before the first chunk.
    bool open(const QString& path);
    void close() { file_.close(); }
    // What is wrong, with its line number where it has one: "line 3: time goes backwards ...".
    QString errorString() const { return error_; }

    // The next chunk; false at the end.
    bool next(Capture::Chunk& chunk);
    // Back to the first chunk.
    bool rewind();

    qint64 chunkCount() const { return chunks_; }

private:
    // Reads the next line after the header; false at the end or on a fault (error_ set).
    bool readChunk(Capture::Chunk& chunk);
    bool fail(const QString& what);

    QFile file_;
    QString error_;
    qint64 lineNumber_ = 0;
    qint64 previousUs_ = 0;
    qint64 chunks_ = 0;
};

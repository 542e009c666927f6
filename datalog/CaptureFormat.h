#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// A capture of the bus, as text that other tools can write and read:
//
//   # velmora capture 1
//   0 rx 00 01 10 10 01 DB 6A 40 0D B3 00 00 01 5E 03 E8 00 00 03 B1
//   150412 tx 12 11 4C 02 00 71
//
// The first line names the format and its version. Each further line is one chunk of the
// line: the microseconds since the capture started (never going back), "rx" for bytes
// received or "tx" for a command written, and the bytes in hexadecimal, two digits each,
// separated by spaces. Blank lines and further lines starting with "#" are comments.
namespace Capture {

enum class Direction { Received, Written };

struct Chunk {
    qint64 us = 0;
    Direction direction = Direction::Received;
    QByteArray bytes;
};

inline const QByteArray& header() {
    static const QByteArray text("# velmora capture 1");
    return text;
}

// The largest capture the tool writes or reads back: recording stops there, and a larger
// file is refused from its size alone, before any of it is read.
constexpr qint64 kMaxFileBytes = qint64(1) << 30; // 1 GiB
// No line the tool writes comes near this; a longer one is not a capture.
constexpr int kMaxLineBytes = 64 * 1024;

// A size as typed on a command line: bytes, or with a K, M or G suffix (binary units):
// "1G", "500M", "64K", "100000". -1 when it is none.
qint64 parseSize(const QString& text);

// "150412 tx 12 11 4C 02 00 71\n"
QByteArray formatLine(const Chunk& chunk);

// One line after the header (without its line feed). Empty result: the chunk is filled in;
// a comment or blank line leaves *isChunk false. Otherwise what is wrong with the line.
QString parseLine(const QByteArray& line, qint64 previousUs, Chunk& chunk, bool* isChunk);

} // namespace Capture

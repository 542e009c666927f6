#pragma once

#include "trends/TrendPoint.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <QVector>

#include <atomic>
#include <memory>

// What reading a log gave.
struct LogReadResult {
    QString error; // a message for the user when the file was refused or unreadable
    QVector<TrendPoint> points;
    int skippedLines = 0;
    bool hpuTitles = false;
    bool ok() const { return error.isEmpty(); }
};

// Reads a CSV log away from the window: a worker thread parses the file in chunks and hands
// each chunk's points over as they come, with the progress, so a log of a year (100 MB)
// draws its first curve at once and the window stays responsive. One read at a time; a new
// read or the reader's end cancels the one under way.
class CsvLogReader : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kChunkBytes = 1 << 20;

    explicit CsvLogReader(QObject* parent = nullptr);
    ~CsvLogReader() override;

    void start(const QString& path);
    void cancel();
    bool isReading() const { return thread_ != nullptr; }

    // The same reading, done in the caller's thread.
    static LogReadResult readFile(const QString& path);

    static QString unreadableMessage(const QString& path);
    static QString binaryMessage(const QString& path);
    static QString notLogMessage(const QString& path);

signals:
    void pointsRead(const QVector<TrendPoint>& points);
    void progress(qint64 bytesRead, qint64 bytesTotal);
    // error is empty when the file was read to its end.
    void finished(const QString& error, int skippedLines);

private:
    void stopThread();

    QThread* thread_ = nullptr;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    quint64 generation_ = 0; // results of a cancelled read are dropped
};

Q_DECLARE_METATYPE(QVector<TrendPoint>)

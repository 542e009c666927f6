#pragma once

#include "core/WorkerThread.h"
#include "trends/TrendPoint.h"
#include "trends/TrendSegments.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>

// What reading a log gave.
struct LogReadResult {
    QString error; // a message for the user when the file was refused or unreadable
    QVector<TrendPoint> points;
    int skippedLines = 0;
    bool hpuTitles = false;
    bool ok() const { return error.isEmpty(); }
};

// Reads a CSV log away from the window: a worker thread parses the file in chunks and also
// works out the charts' curves, cut down to the charts' width, so the window only draws a
// few thousand points however long the log. The curves of what was read so far come after
// the first chunk and then a few times a second, with the progress; the points themselves
// come once, at the end, handed over whole. A log of a year (100 MB) thus draws its first
// curve at once and the window stays responsive. One read at a time; a new read or the
// reader's end cancels the one under way.
class CsvLogReader : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kChunkBytes = 1 << 20;
    static constexpr int kCurvesIntervalMs = 250; // at least, between two handovers of curves

    explicit CsvLogReader(QObject* parent = nullptr);
    ~CsvLogReader() override;

    // maxPoints: per chart, two a pixel column of the plot.
    void start(const QString& path, int maxPoints = 1600);
    void cancel();
    bool isReading() const { return worker_.isBusy(); }

    // The same reading, done in the caller's thread.
    static LogReadResult readFile(const QString& path);
    // The same reading in the caller's thread, the points handed over chunk by chunk as they
    // are read; the message of a refusal or a read error, empty when read to the end or
    // cancelled.
    static QString readPoints(const QString& path, const std::atomic<bool>& cancelled,
                              const std::function<void(QVector<TrendPoint>&&)>& onPoints,
                              int* skippedLines = nullptr);

    static QString unreadableMessage(const QString& path);
    static QString binaryMessage(const QString& path);
    static QString notLogMessage(const QString& path);

signals:
    // Every chart's curve over the span read so far.
    void curvesRead(const TrendCurves& curves);
    // All the points of the file, once it was read to its end.
    void pointsRead(const QVector<TrendPoint>& points);
    void progress(qint64 bytesRead, qint64 bytesTotal);
    // error is empty when the file was read to its end.
    void finished(const QString& error, int skippedLines);

private:
    WorkerThread worker_;
};

Q_DECLARE_METATYPE(QVector<TrendPoint>)

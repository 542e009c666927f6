#pragma once

#include "core/WorkerThread.h"
#include "trends/TrendPoint.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <atomic>

// Writes a span of the trends as a CSV file: a title line, then one line a second with the
// time (ISO, local) and the seven values in point decimals, a field left empty where a value
// was not known. The titles stay English in every language, as the log's do, for the
// spreadsheets that read them. The file appears whole or not at all (WholeFileWriter).
//
// A long log's span takes seconds to format (a 100 MB log holds 1.7 million seconds), so
// start() writes on a worker thread and the window stays responsive; one write at a time.
class TrendCsvWriter : public QObject {
    Q_OBJECT
public:
    explicit TrendCsvWriter(QObject* parent = nullptr);
    ~TrendCsvWriter() override; // a write under way is abandoned: the file stays as it was

    void start(const QString& path, QVector<TrendPoint> points);
    bool isWriting() const { return worker_.isBusy(); }

    // The same writing, done in the caller's thread; false when the file could not be written
    // or the write was cancelled.
    static bool write(const QString& path, const QVector<TrendPoint>& points,
                      const std::atomic<bool>& cancelled);

signals:
    void finished(const QString& path, bool ok);

private:
    WorkerThread worker_;
};

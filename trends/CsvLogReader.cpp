#include "trends/CsvLogReader.h"

#include "trends/CsvLogParser.h"
#include "trends/LogFileName.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <limits>

namespace {

// Reads path chunk by chunk, handing points and progress to the callbacks; returns the error.
template <class OnPoints, class OnProgress>
QString readLog(const QString& path, const std::atomic<bool>& cancelled, int& skipped, bool& hpuTitles,
                OnPoints onPoints, OnProgress onProgress) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CsvLogReader::unreadableMessage(path);
    const QFileInfo info(path);
    const LogFileName name = LogFileName::parse(info.fileName());
    CsvLogParser parser(name.isValid() ? name.date : info.lastModified().date());
    const qint64 total = file.size();
    qint64 done = 0;
    QByteArray chunk;
    while (!cancelled) {
        chunk = file.read(CsvLogReader::kChunkBytes);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                return CsvLogReader::unreadableMessage(path);
            break;
        }
        done += chunk.size();
        QVector<TrendPoint> points;
        parser.feed(chunk, points);
        if (parser.refusal() != CsvLogParser::Refusal::None)
            break;
        if (!points.isEmpty())
            onPoints(std::move(points));
        onProgress(done, total);
    }
    QVector<TrendPoint> points;
    parser.finish(points);
    switch (parser.refusal()) {
    case CsvLogParser::Refusal::Binary:
        return CsvLogReader::binaryMessage(path);
    case CsvLogParser::Refusal::NotLog:
        return CsvLogReader::notLogMessage(path);
    case CsvLogParser::Refusal::None:
        break;
    }
    if (!points.isEmpty())
        onPoints(std::move(points));
    skipped = parser.skippedLines();
    hpuTitles = parser.hpuTitles();
    return QString();
}

} // namespace

CsvLogReader::CsvLogReader(QObject* parent)
    : QObject(parent) {
    qRegisterMetaType<QVector<TrendPoint>>();
    qRegisterMetaType<TrendCurves>();
}

CsvLogReader::~CsvLogReader() {
    stopThread();
}

QString CsvLogReader::unreadableMessage(const QString& path) {
    return tr("Unable to read the log file \"%1\".").arg(QFileInfo(path).fileName());
}

QString CsvLogReader::binaryMessage(const QString& path) {
    return tr("\"%1\" is not a CSV log: it holds binary data.").arg(QFileInfo(path).fileName());
}

QString CsvLogReader::notLogMessage(const QString& path) {
    return tr("\"%1\" is not a CSV log of this tool: it does not begin with \"LOG ORVANE\".")
        .arg(QFileInfo(path).fileName());
}

LogReadResult CsvLogReader::readFile(const QString& path) {
    LogReadResult result;
    const std::atomic<bool> never{false};
    result.error = readLog(
        path, never, result.skippedLines, result.hpuTitles,
        [&](QVector<TrendPoint>&& points) { result.points += points; }, [](qint64, qint64) {});
    if (!result.ok())
        result.points.clear();
    return result;
}

void CsvLogReader::start(const QString& path, int maxPoints) {
    stopThread();
    const quint64 generation = ++generation_;
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    const std::shared_ptr<std::atomic<bool>> cancelled = cancelled_;
    QPointer<CsvLogReader> self(this);
    // Results travel to this object's thread as queued calls; those of an older read are dropped.
    const auto post = [self, generation](auto function) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation, function] {
                if (self && self->generation_ == generation)
                    function(self.data());
            },
            Qt::QueuedConnection);
    };
    thread_ = QThread::create([path, maxPoints, cancelled, post] {
        int skipped = 0;
        bool hpuTitles = false;
        QVector<TrendPoint> all;
        qint64 from = std::numeric_limits<qint64>::max();
        qint64 to = std::numeric_limits<qint64>::min();
        const auto postCurves = [&] {
            post([curves = trendCurves(all, from, to, maxPoints)](CsvLogReader* reader) {
                emit reader->curvesRead(curves);
            });
        };
        QElapsedTimer sinceCurves;
        qint64 nextCurvesMs = 0; // the first chunk's curves at once
        const QString error = readLog(
            path, *cancelled, skipped, hpuTitles,
            [&](QVector<TrendPoint>&& points) {
                for (const TrendPoint& p : points) {
                    from = std::min(from, p.time);
                    to = std::max(to, p.time);
                }
                all += points;
                if (sinceCurves.isValid() && sinceCurves.elapsed() < nextCurvesMs)
                    return;
                // Working out the curves takes longer as the file grows: never more than a
                // third of the worker's time.
                QElapsedTimer cost;
                cost.start();
                postCurves();
                nextCurvesMs = std::max<qint64>(kCurvesIntervalMs, 2 * cost.elapsed());
                sinceCurves.start();
            },
            [&](qint64 done, qint64 total) {
                post([done, total](CsvLogReader* reader) { emit reader->progress(done, total); });
            });
        if (*cancelled)
            return;
        if (error.isEmpty()) {
            if (!all.isEmpty())
                postCurves();
            post([points = std::move(all)](CsvLogReader* reader) { emit reader->pointsRead(points); });
        }
        post([error, skipped](CsvLogReader* reader) {
            reader->stopThread();
            emit reader->finished(error, skipped);
        });
    });
    thread_->start(QThread::LowPriority);
}

void CsvLogReader::cancel() {
    ++generation_;
    stopThread();
}

void CsvLogReader::stopThread() {
    if (!thread_)
        return;
    if (cancelled_)
        *cancelled_ = true;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}

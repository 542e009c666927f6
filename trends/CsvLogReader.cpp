#include "trends/CsvLogReader.h"

#include "trends/CsvLogParser.h"
#include "trends/LogFileName.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

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
    : QObject(parent)
    , worker_(this) {
    qRegisterMetaType<QVector<TrendPoint>>();
    qRegisterMetaType<TrendCurves>();
}

CsvLogReader::~CsvLogReader() {
    worker_.stop();
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

QString CsvLogReader::readPoints(const QString& path, const std::atomic<bool>& cancelled,
                                const std::function<void(QVector<TrendPoint>&&)>& onPoints, int* skippedLines) {
    int skipped = 0;
    bool hpuTitles = false;
    const QString error = readLog(path, cancelled, skipped, hpuTitles, onPoints, [](qint64, qint64) {});
    if (skippedLines)
        *skippedLines = skipped;
    return error;
}

void CsvLogReader::start(const QString& path, int maxPoints) {
    // Results travel to this object's thread as posted calls; those of a cancelled read are dropped.
    worker_.start([this, path, maxPoints](const std::atomic<bool>& cancelled,
                                          const WorkerThread::Post& post) {
        int skipped = 0;
        bool hpuTitles = false;
        QVector<TrendPoint> all;
        qint64 from = std::numeric_limits<qint64>::max();
        qint64 to = std::numeric_limits<qint64>::min();
        const auto postCurves = [&] {
            post([this, curves = trendCurves(all, from, to, maxPoints)] { emit curvesRead(curves); });
        };
        QElapsedTimer sinceCurves;
        qint64 nextCurvesMs = 0; // the first chunk's curves at once
        const QString error = readLog(
            path, cancelled, skipped, hpuTitles,
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
            [&](qint64 done, qint64 total) { post([this, done, total] { emit progress(done, total); }); });
        if (cancelled)
            return;
        if (error.isEmpty()) {
            if (!all.isEmpty())
                postCurves();
            post([this, points = std::move(all)] { emit pointsRead(points); });
        }
        post([this, error, skipped] {
            worker_.stop();
            emit finished(error, skipped);
        });
    });
}

void CsvLogReader::cancel() {
    worker_.stop();
}

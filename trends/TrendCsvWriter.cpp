#include "trends/TrendCsvWriter.h"

#include "core/WholeFileWriter.h"

#include <QDateTime>

namespace {

constexpr qsizetype kFlushBytes = 1 << 20; // written and checked for a cancel about every megabyte

QByteArray titleLine() {
    QByteArray text = "time";
    for (int i = 0; i < kTrendChannelCount; ++i)
        text += ';' + QStringLiteral("%1 [%2]")
                          .arg(trendChannelName(trendChannel(i)), trendChannelUnit(trendChannel(i)))
                          .toUtf8();
    return text + '\n';
}

void appendLine(QByteArray& text, const TrendPoint& p) {
    text += QDateTime::fromMSecsSinceEpoch(p.time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
    for (int i = 0; i < kTrendChannelCount; ++i) {
        text += ';';
        if (p.known(trendChannel(i)))
            text += QByteArray::number(double(p.value(trendChannel(i))), 'g', 7);
    }
    text += '\n';
}

} // namespace

TrendCsvWriter::TrendCsvWriter(QObject* parent)
    : QObject(parent)
    , worker_(this) {}

TrendCsvWriter::~TrendCsvWriter() {
    worker_.stop();
}

bool TrendCsvWriter::write(const QString& path, const QVector<TrendPoint>& points,
                           const std::atomic<bool>& cancelled) {
    WholeFileWriter file(path);
    if (!file.open())
        return false;
    QByteArray text = titleLine();
    text.reserve(kFlushBytes + 256);
    for (const TrendPoint& p : points) {
        appendLine(text, p);
        if (text.size() < kFlushBytes)
            continue;
        if (cancelled || !file.write(text))
            return false; // nothing committed: the file is dropped
        text.clear();
    }
    return !cancelled && file.write(text) && file.commit();
}

void TrendCsvWriter::start(const QString& path, QVector<TrendPoint> points) {
    worker_.start([this, path, points = std::move(points)](const std::atomic<bool>& cancelled,
                                                           const WorkerThread::Post& post) {
        const bool ok = write(path, points, cancelled);
        post([this, path, ok] {
            worker_.stop();
            emit finished(path, ok);
        });
    });
}

#include "trends/TrendSegments.h"

#include <algorithm>
#include <cmath>

namespace {

QVector<TrendSegment> everyPoint(const QVector<TrendPoint>& points, TrendChannel channel, qint64 from,
                                 qint64 to) {
    QVector<TrendSegment> segments;
    TrendSegment run;
    qint64 last = 0;
    for (const TrendPoint& p : points) {
        if (p.time < from || p.time > to)
            continue;
        const bool joined = !run.isEmpty() && p.time - last <= kTrendMaxStepMs && p.time >= last;
        if (!p.known(channel) || !joined) {
            if (!run.isEmpty())
                segments.append(run);
            run.clear();
        }
        if (p.known(channel))
            run.append(QPointF(p.time, p.value(channel)));
        last = p.time;
    }
    if (!run.isEmpty())
        segments.append(run);
    return segments;
}

} // namespace

QVector<TrendSegment> trendSegments(const QVector<TrendPoint>& points, TrendChannel channel, qint64 from,
                                    qint64 to, int maxPoints) {
    int inSpan = 0;
    for (const TrendPoint& p : points)
        inSpan += p.time >= from && p.time <= to;
    if (inSpan <= maxPoints || to <= from)
        return everyPoint(points, channel, from, to);

    // Buckets of equal time, each drawn as its lowest and highest point in time order. A
    // silent stretch, however short, or an empty bucket breaks the line.
    const int buckets = std::max(1, maxPoints / 2);
    const double width = double(to - from + 1) / buckets;
    QVector<TrendSegment> segments;
    TrendSegment run;
    int bucket = -1;
    int lastFilledBucket = -2;
    QPointF low, high;
    bool filled = false;
    bool breakBefore = false;  // the bucket's points start a new run
    bool pendingBreak = false; // a gap since the last known point
    qint64 last = 0;
    bool haveLast = false;

    const auto flush = [&] {
        if (!filled)
            return;
        if (breakBefore && !run.isEmpty()) {
            segments.append(run);
            run.clear();
        }
        const bool lowFirst = low.x() <= high.x();
        run.append(lowFirst ? low : high);
        if (high != low)
            run.append(lowFirst ? high : low);
        lastFilledBucket = bucket;
        filled = false;
    };

    for (const TrendPoint& p : points) {
        if (p.time < from || p.time > to)
            continue;
        const int b = std::min(buckets - 1, int((p.time - from) / width));
        if (b != bucket) {
            flush();
            bucket = b;
        }
        const bool gap =
            !p.known(channel) || (haveLast && (p.time - last > kTrendMaxStepMs || p.time < last));
        last = p.time;
        haveLast = true;
        if (gap) {
            flush(); // what came before the gap ends its run, even within a bucket
            pendingBreak = true;
        }
        if (!p.known(channel))
            continue;
        const QPointF point(p.time, p.value(channel));
        if (!filled) {
            low = high = point;
            filled = true;
            breakBefore = pendingBreak || lastFilledBucket != bucket - 1;
        } else {
            if (point.y() < low.y())
                low = point;
            if (point.y() > high.y())
                high = point;
        }
        pendingBreak = false;
    }
    flush();
    if (!run.isEmpty())
        segments.append(run);
    return segments;
}

TrendCurves trendCurves(const QVector<TrendPoint>& points, qint64 from, qint64 to, int maxPoints) {
    TrendCurves curves;
    curves.from = from;
    curves.to = to;
    for (int i = 0; i < kTrendChannelCount; ++i)
        curves.segments[i] = trendSegments(points, trendChannel(i), from, to, maxPoints);
    return curves;
}

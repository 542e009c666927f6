#pragma once

#include "trends/TrendPoint.h"

#include <QMetaType>
#include <QPointF>
#include <QVector>

#include <array>

// One channel's curve as the charts draw it: unbroken runs of points (x = ms since the
// epoch), broken wherever the value was not known or two points lie more than
// kTrendMaxStepMs apart. Beyond maxPoints the span is cut into equal time buckets and each
// keeps its lowest and highest value, so a long log draws as fast as a minute and peaks
// stay visible.
using TrendSegment = QVector<QPointF>;

QVector<TrendSegment> trendSegments(const QVector<TrendPoint>& points, TrendChannel channel, qint64 from,
                                    qint64 to, int maxPoints = 1600);

// The curves of all seven charts over one span, as a worker hands them to the window.
struct TrendCurves {
    qint64 from = 0;
    qint64 to = 0;
    std::array<QVector<TrendSegment>, kTrendChannelCount> segments;
    const QVector<TrendSegment>& of(TrendChannel channel) const {
        return segments[static_cast<int>(channel)];
    }
};

// Each chart's curve over [from, to] with at most maxPoints points (two a pixel column).
TrendCurves trendCurves(const QVector<TrendPoint>& points, qint64 from, qint64 to, int maxPoints);

Q_DECLARE_METATYPE(TrendCurves)

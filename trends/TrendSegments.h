#pragma once

#include "trends/TrendPoint.h"

#include <QPointF>
#include <QVector>

// One channel's curve as the charts draw it: unbroken runs of points (x = ms since the
// epoch), broken wherever the value was not known or two points lie more than
// kTrendMaxStepMs apart. Beyond maxPoints the span is cut into equal time buckets and each
// keeps its lowest and highest value, so a long log draws as fast as a minute and peaks
// stay visible.
using TrendSegment = QVector<QPointF>;

QVector<TrendSegment> trendSegments(const QVector<TrendPoint>& points, TrendChannel channel, qint64 from,
                                    qint64 to, int maxPoints = 1600);

#pragma once

#include "trends/NiceScale.h"
#include "trends/TrendSegments.h"

#include <QChartView>
#include <QVector>

#include <optional>

class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

// One channel's chart: its curve as unbroken runs (gaps stay empty), its alarm threshold as
// a dashed line, its unit on the value axis. The time axis has the range the window gives
// every chart, so the stacked charts line up; only the lowest shows the time labels.
class TrendChart : public QChartView {
    Q_OBJECT
public:
    explicit TrendChart(TrendChannel channel, QWidget* parent = nullptr);

    TrendChannel channel() const { return channel_; }
    void draw(const QVector<TrendSegment>& segments, qint64 from, qint64 to, std::optional<double> threshold);
    void setTimeLabelsVisible(bool visible);
    // The stacked charts share one time axis: each is laid out on its own (naturalPlotArea),
    // then all take the narrowest common plot width, so a second is at the same x in all.
    QRectF naturalPlotArea();
    QPair<qreal, qreal> valueRange() const;
    void alignPlotArea(qreal left, qreal right);

    // What is drawn now: the runs of the curve, and the threshold line's value.
    QVector<TrendSegment> drawnSegments() const;
    std::optional<double> drawnThreshold() const;

signals:
    // The pointer over the chart: the time under it and the curve's value there (empty in a gap).
    void hovered(qint64 time, std::optional<double> value);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QLineSeries* addRun();

    TrendChannel channel_;
    QDateTimeAxis* timeAxis_;
    QValueAxis* valueAxis_;
    QLineSeries* threshold_;
    QVector<QLineSeries*> runs_; // reused from one draw to the next; the extra ones hidden
    int runsShown_ = 0;
    NiceScale scale_{0, 0, 0}; // what the value axis shows
    qint64 from_ = 0;
    qint64 to_ = 0;
};

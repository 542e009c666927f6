#include "trends/ui/TrendChart.h"

#include <QDateTimeAxis>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kValueTicks = 3;

QColor channelColor(TrendChannel channel) {
    static const QColor colors[kTrendChannelCount] = {QColor(0x1f, 0x77, 0xb4), QColor(0x2c, 0xa0, 0x2c),
                                                      QColor(0x94, 0x67, 0xbd), QColor(0xd6, 0x27, 0x28),
                                                      QColor(0xff, 0x7f, 0x0e), QColor(0x17, 0xbe, 0xcf),
                                                      QColor(0x8c, 0x56, 0x4b)};
    return colors[static_cast<int>(channel)];
}

// Short enough to stand beside a chart a ninth of the window high.
QString axisName(TrendChannel channel) {
    return channel == TrendChannel::Temperature ? TrendChart::tr("Temperature")
                                                : trendChannelCaption(channel);
}

} // namespace

TrendChart::TrendChart(TrendChannel channel, QWidget* parent)
    : QChartView(parent)
    , channel_(channel) {
    setObjectName(QStringLiteral("TrendChart%1").arg(static_cast<int>(channel)));
    // Drawn once a second: plain lines cost a fraction of antialiased ones.
    setRenderHint(QPainter::Antialiasing, false);
    setMouseTracking(true);
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 2, 4, 0));
    chart->setBackgroundRoundness(0);
    chart->setAnimationOptions(QChart::NoAnimation);

    timeAxis_ = new QDateTimeAxis;
    timeAxis_->setFormat(QStringLiteral("HH:mm:ss"));
    timeAxis_->setTickCount(7);
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    valueAxis_ = new QValueAxis;
    valueAxis_->setTitleText(
        QStringLiteral("%1<br>[%2]").arg(axisName(channel), trendChannelUnitCaption(channel)));
    valueAxis_->setTickCount(kValueTicks);
    valueAxis_->setLabelFormat(QStringLiteral("%.4g"));
    QFont small = valueAxis_->titleFont();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    valueAxis_->setTitleFont(small);
    chart->addAxis(valueAxis_, Qt::AlignLeft);

    threshold_ = new QLineSeries;
    // Lines one pixel wide, drawn by the painter's fast path for thin lines rather than
    // outlined as shapes: a redraw a second of seven charts stays cheap.
    QPen dashed(QColor(0xc0, 0x00, 0x00), 1, Qt::DashLine);
    threshold_->setPen(dashed);
    chart->addSeries(threshold_);
    threshold_->attachAxis(timeAxis_);
    threshold_->attachAxis(valueAxis_);
    threshold_->setVisible(false);

    // The view starts with a chart of its own and gives up its ownership when it takes another.
    QChart* initial = this->chart();
    setChart(chart);
    delete initial;
}

QLineSeries* TrendChart::addRun() {
    auto* run = new QLineSeries;
    run->setPen(QPen(channelColor(channel_), 1));
    chart()->addSeries(run);
    run->attachAxis(timeAxis_);
    run->attachAxis(valueAxis_);
    runs_.append(run);
    return run;
}

void TrendChart::draw(const QVector<TrendSegment>& segments, qint64 from, qint64 to,
                      std::optional<double> threshold) {
    from_ = from;
    to_ = std::max(to, from + 1000);
    double low = INFINITY, high = -INFINITY;
    for (const TrendSegment& segment : segments)
        for (const QPointF& p : segment) {
            low = std::min(low, p.y());
            high = std::max(high, p.y());
        }
    if (threshold) {
        low = std::min(low, *threshold);
        high = std::max(high, *threshold);
    }
    // The axes first: every series works out its geometry again when they change, so the
    // curves are mapped once, with their new points, not also with their old ones.
    // Round figures: the range, its labels and so the layout change only when the curve
    // crosses one, not every second; an axis set to what it has already does no work.
    const NiceScale scale = valueScale(low, high, kValueTicks);
    if (scale != scale_) {
        scale_ = scale;
        valueAxis_->setRange(scale.min, scale.max);
        valueAxis_->setTickCount(scale.ticks);
    }
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(from_), QDateTime::fromMSecsSinceEpoch(to_));
    // Spans longer than a day (logs joined end to end) show the date.
    // The charts without time labels get empty ones: Qt Charts lays out every label of an
    // axis at every range change, shown or not, and the range changes every second.
    const QString format = !timeAxis_->labelsVisible()      ? QString()
                           : to_ - from_ > 24 * 3600 * 1000 ? QStringLiteral("dd/MM HH:mm")
                                                            : QStringLiteral("HH:mm:ss");
    if (timeAxis_->format() != format)
        timeAxis_->setFormat(format);

    while (runs_.size() < segments.size())
        addRun();
    for (int i = 0; i < runs_.size(); ++i) {
        if (i < segments.size()) {
            runs_[i]->replace(QList<QPointF>(segments[i].begin(), segments[i].end()));
            runs_[i]->setVisible(true);
        } else if (i < runsShown_) {
            runs_[i]->clear();
            runs_[i]->setVisible(false);
        }
    }
    runsShown_ = segments.size();

    if (threshold) {
        // Drawn well past the span, so it is replaced when its value changes, not each second.
        if (!threshold_->isVisible() || threshold_->count() != 2 || threshold_->at(0).y() != *threshold ||
            threshold_->at(0).x() > from_ || threshold_->at(1).x() < to_) {
            const qint64 span = to_ - from_;
            threshold_->replace(
                QList<QPointF>{QPointF(from_ - span, *threshold), QPointF(to_ + 4 * span, *threshold)});
        }
        threshold_->setVisible(true);
    } else if (threshold_->isVisible()) {
        threshold_->clear();
        threshold_->setVisible(false);
    }
}

QRectF TrendChart::naturalPlotArea() {
    chart()->setPlotArea(QRectF()); // laid out by the chart itself again
    chart()->layout()->activate();
    return chart()->plotArea();
}

QPair<qreal, qreal> TrendChart::valueRange() const {
    return {valueAxis_->min(), valueAxis_->max()};
}

void TrendChart::alignPlotArea(qreal left, qreal right) {
    const QRectF own = chart()->plotArea();
    chart()->setPlotArea(QRectF(left, own.top(), right - left, own.height()));
}

void TrendChart::setTimeLabelsVisible(bool visible) {
    timeAxis_->setLabelsVisible(visible);
}

QVector<TrendSegment> TrendChart::drawnSegments() const {
    QVector<TrendSegment> segments;
    for (int i = 0; i < runsShown_; ++i) {
        const QList<QPointF> points = runs_[i]->points();
        segments.append(TrendSegment(points.begin(), points.end()));
    }
    return segments;
}

std::optional<double> TrendChart::drawnThreshold() const {
    if (!threshold_->isVisible() || threshold_->count() == 0)
        return std::nullopt;
    return threshold_->at(0).y();
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    if (!chart()->plotArea().contains(event->position()))
        return;
    const QPointF at = chart()->mapToValue(event->position());
    const qint64 time = qint64(at.x());
    // The nearest drawn point, unless the pointer is over a gap.
    const double reach = std::max(1500.0, (to_ - from_) / std::max(1.0, chart()->plotArea().width()) * 4);
    std::optional<double> value;
    double nearest = reach;
    for (int i = 0; i < runsShown_; ++i) {
        const QList<QPointF> points = runs_[i]->points();
        for (const QPointF& p : points) {
            const double distance = std::fabs(p.x() - at.x());
            if (distance <= nearest) {
                nearest = distance;
                value = p.y();
            }
        }
    }
    emit hovered(time, value);
}

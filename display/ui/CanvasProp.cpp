#include "display/ui/CanvasProp.h"

#include "core/ui/LayoutFonts.h"
#include "display/GaugeGeometry.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <utility>

namespace {

// Far beyond any canvas: such a point comes from an undefined angle and is not drawn.
constexpr double kFarAway = 1e6;

bool drawable(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y()) && std::abs(p.x()) < kFarAway &&
           std::abs(p.y()) < kFarAway;
}

void drawLine(QPainter& painter, const QLineF& line) {
    if (drawable(line.p1()) && drawable(line.p2()))
        painter.drawLine(line);
}

void drawLine(QPainter& painter, const GaugeLine& line) {
    if (line.visible)
        drawLine(painter, line.line);
}

// A blade side: the curve from the leading to the trailing edge, closed along the chord,
// filled white at 80 % and outlined in the main colour.
void drawBladeSide(QPainter& painter, const GaugeGeometry& gauge, const QVector<QPointF>& curve) {
    if (curve.size() < 2)
        return;
    for (const QPointF& p : curve)
        if (!drawable(p))
            return;
    QPainterPath path;
    path.moveTo(curve.first());
    for (int i = 1; i < curve.size(); ++i)
        path.lineTo(curve.at(i));
    path.closeSubpath();

    // The fill's opacity goes into the brush colour: the same pixels as a painter opacity,
    // without the raster engine's generic blending.
    QColor fill = QColor::fromRgba(GaugeGeometry::kBladeFillColour);
    fill.setAlphaF(float(fill.alphaF() * GaugeGeometry::kBladeFillOpacity));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(path);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor::fromRgba(GaugeGeometry::kMainColour), gauge.bladeOutlineWidth));
    painter.drawPath(path);
}

} // namespace

CanvasProp::CanvasProp(const MonitorState& state, std::function<void(double)> keepAngle, const QImage& hub,
                       QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , keepAngle_(std::move(keepAngle))
    , hub_(hub) {
    setFocusPolicy(Qt::NoFocus);
}

bool CanvasProp::isDarkAppearance(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

void CanvasProp::paintEvent(QPaintEvent*) {
    // The scale colour is chosen at every paint from the system appearance.
    const GaugeGeometry gauge = gaugeGeometry(state_, width(), height(), isDarkAppearance(palette()));
    keepAngle_(gauge.alpha);
    if (!hub_.isNull() && (scaledHub_.isNull() || scaledHub_.devicePixelRatio() != devicePixelRatioF()))
        scaledHub_ = hubAtScale(hub_, gauge, devicePixelRatioF());
    QPainter painter(this);
    drawGauge(painter, gauge, scaledHub_);
}

void CanvasProp::requestRepaint() {
    if (!gaugeAtRest(state_))
        update();
}

QImage CanvasProp::hubAtScale(const QImage& hub, const GaugeGeometry& gauge, qreal devicePixelRatio) {
    if (hub.isNull())
        return QImage();
    const QSize pixels = (gauge.hubPictureRect(hub.size()).size() * devicePixelRatio).toSize();
    QImage scaled = hub.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(devicePixelRatio);
    return scaled;
}

void CanvasProp::drawGauge(QPainter& painter, const GaugeGeometry& gauge, const QImage& scaledHub) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    // 1. The hub picture, whole, at its fixed place and scale: a straight copy.
    if (!scaledHub.isNull())
        painter.drawImage(gauge.hubPictureOrigin, scaledHub);

    // 2. The pointer: one straight line through the hub along the blade chord.
    painter.setPen(QPen(QColor::fromRgba(gauge.pointerColour), gauge.penWidth));
    drawLine(painter, gauge.pointerLower);
    drawLine(painter, gauge.pointerUpper);

    // 3. The speed scale.
    const QColor scale = QColor::fromRgba(gauge.scaleColour);
    painter.setPen(QPen(scale, gauge.penWidth));
    drawLine(painter, gauge.baseline);
    for (const QLineF& tick : gauge.endTicks)
        drawLine(painter, tick);
    for (const QLineF& tick : gauge.minorTicks)
        drawLine(painter, tick);

    // 4. Its texts, on their baselines.
    painter.setFont(LayoutFonts::named(gauge.fontFamily, gauge.fontPointSize));
    if (drawable(gauge.lowTextOrigin))
        painter.drawText(gauge.lowTextOrigin, gauge.lowText);
    if (drawable(gauge.highTextOrigin))
        painter.drawText(gauge.highTextOrigin, gauge.highText);

    // 5. The blade section, suction side first.
    drawBladeSide(painter, gauge, gauge.suctionSide);
    drawBladeSide(painter, gauge, gauge.pressureSide);
    painter.restore();
}

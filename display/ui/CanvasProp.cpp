#include "display/ui/CanvasProp.h"

#include "app/LayoutFonts.h"
#include "display/GaugeGeometry.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

const QColor CanvasProp::kMainColour(0x5A, 0x91, 0xA8);
const QColor CanvasProp::kScaleColour(Qt::black);
const QColor CanvasProp::kDarkScaleColour(0xE2, 0xE2, 0xE2);

namespace {

// Far beyond any canvas: such a point comes from an undefined angle and is not drawn.
constexpr double kFarAway = 1e6;

bool finite(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y()) && std::abs(p.x()) < kFarAway &&
           std::abs(p.y()) < kFarAway;
}

bool finite(const QLineF& line) {
    return finite(line.p1()) && finite(line.p2());
}

void drawLine(QPainter& painter, const QLineF& line) {
    if (finite(line))
        painter.drawLine(line);
}

// A blade side: the curve from the leading to the trailing edge, closed along the chord.
void drawBladeSide(QPainter& painter, const QVector<QPointF>& curve) {
    if (curve.size() < 2)
        return;
    QPainterPath path;
    for (const QPointF& p : curve)
        if (!finite(p))
            return;
    path.moveTo(curve.first());
    for (int i = 1; i < curve.size(); ++i)
        path.lineTo(curve.at(i));
    path.closeSubpath();

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.setOpacity(0.8);
    painter.drawPath(path);
    painter.setOpacity(1.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(CanvasProp::kMainColour, 1));
    painter.drawPath(path);
}

} // namespace

CanvasProp::CanvasProp(MonitorState& state, const QImage& hub, QWidget* parent)
    : QWidget(parent)
    , state_(state)
    , hub_(hub) {
    setFocusPolicy(Qt::NoFocus);
}

bool CanvasProp::isDarkAppearance(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

void CanvasProp::paintEvent(QPaintEvent*) {
    const GaugeGeometry gauge = paintGauge(state_, width(), height());
    QPainter painter(this);
    drawGauge(painter, gauge, hub_, isDarkAppearance(palette()) ? kDarkScaleColour : kScaleColour);
}

void CanvasProp::drawGauge(QPainter& painter, const GaugeGeometry& gauge, const QImage& hub,
                           const QColor& scaleColour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    // 1. The hub picture, at its fixed place and scale.
    if (!hub.isNull())
        painter.drawImage(
            QRectF(gauge.hubOrigin, QSizeF(hub.width() * gauge.hubScale, hub.height() * gauge.hubScale)),
            hub);

    // 2. The pointer: one straight line through the hub along the blade chord.
    painter.setPen(QPen(kMainColour, 2));
    drawLine(painter, gauge.pointerDown);
    drawLine(painter, gauge.pointerUp);

    // 3. The speed scale.
    painter.setPen(QPen(scaleColour, 2));
    drawLine(painter, gauge.baseline);
    for (const QLineF& tick : gauge.ticks)
        drawLine(painter, tick);

    // 4. Its texts.
    painter.setFont(LayoutFonts::named(QStringLiteral("Helvetica"), 15));
    if (finite(gauge.speedTextPos))
        painter.drawText(gauge.speedTextPos, QStringLiteral("Speed :     LOW"));
    if (finite(gauge.highTextPos))
        painter.drawText(gauge.highTextPos, QStringLiteral("HIGH"));

    // 5. The blade section, suction side first.
    drawBladeSide(painter, gauge.suctionSide);
    drawBladeSide(painter, gauge.pressureSide);
    painter.restore();
}

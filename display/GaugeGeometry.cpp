#include "display/GaugeGeometry.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>

namespace {

constexpr double kLowDegrees = 30;
constexpr double kHighDegrees = 66;
constexpr double kTravelDegrees = kHighDegrees - kLowDegrees;
constexpr double kJumpRatio = 0.3;
constexpr double kBladeScale = 0.7;      // the 100-unit chord drawn 70 long
constexpr double kHalfChord = 35;        // hub to either end of the drawn chord
constexpr double kHubToBaseline = 53;    // L = canvas height - 53
constexpr double kTextBaselineInset = 2; // text baseline at canvas height - 2

// The ray from `from` in unit direction `dir`, for parameters 0..maxLength (maxLength may be
// infinite), clipped to the canvas rectangle (Liang-Barsky).
GaugeLine clipRay(QPointF from, QPointF dir, double maxLength, const QSizeF& canvas) {
    double enter = 0;
    double leave = maxLength;
    const double p[4] = {-dir.x(), dir.x(), -dir.y(), dir.y()};
    const double q[4] = {from.x(), canvas.width() - from.x(), from.y(), canvas.height() - from.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return {}; // parallel to this edge and outside it
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (!(enter <= leave) || !std::isfinite(leave))
        return {};
    return {QLineF(from + dir * enter, from + dir * leave), true};
}

// One half of the pointer: from the hub along the chord until y = 43 + dy, that is to
// (75 + tan(alpha) dy, 43 + dy), clipped to the canvas. Walking along the unit direction
// instead of computing tan(alpha) keeps it finite at and beyond 90 degrees.
GaugeLine pointerHalf(QPointF hub, double alpha, double dy, const QSizeF& canvas) {
    const double c = std::cos(alpha);
    if (dy == 0)
        return {QLineF(hub, hub), true};
    // Orient the chord direction so that it heads towards y = 43 + dy.
    const double sign = ((c < 0) != (dy < 0)) ? -1.0 : 1.0;
    const QPointF dir(sign * std::sin(alpha), sign * c);
    const double length = c == 0 ? std::numeric_limits<double>::infinity() : std::fabs(dy / c);
    return clipRay(hub, dir, length, canvas);
}

QPointF bezierCubic(QPointF p0, QPointF p1, QPointF p2, QPointF p3, double t) {
    const double s = 1 - t;
    return s * s * s * p0 + 3 * s * s * t * p1 + 3 * s * t * t * p2 + t * t * t * p3;
}

QPointF bezierQuadratic(QPointF p0, QPointF p1, QPointF p2, double t) {
    const double s = 1 - t;
    return s * s * p0 + 2 * s * t * p1 + t * t * p2;
}

} // namespace

double gaugeTargetAngle(const MonitorState& state) {
    const bool risesWithPressure = state.ValeurModeCalage == 0;
    // Without a full-travel pressure the angle is undefined: the gauge then shows the rest
    // position of the pitch design mode, as at zero pressure (30 degrees in mode 0, 66 in
    // mode 1). The same holds for a pressure ratio too large to be a number.
    const double restDegrees = risesWithPressure ? kLowDegrees : kHighDegrees;
    double degrees = restDegrees;
    if (state.ValeurHautePression != 0) {
        const double travel = kTravelDegrees * state.Pression / state.ValeurHautePression;
        degrees = risesWithPressure ? kLowDegrees + travel : kHighDegrees - travel;
    }
    const double radians = degrees * GaugeGeometry::kDegree;
    return std::isfinite(radians) ? radians : restDegrees * GaugeGeometry::kDegree;
}

double smoothGaugeAngle(double filteredAlpha, double targetAlpha) {
    if (!std::isfinite(filteredAlpha))
        return targetAlpha;
    const double smoothed = (4 * filteredAlpha + targetAlpha) / 5;
    // A smoothed value of 0 makes the ratio infinite (or undefined when the target is 0 too):
    // both mean "show the target".
    const double ratio = targetAlpha / smoothed;
    if (!std::isfinite(ratio) || std::fabs(1 - ratio) > kJumpRatio)
        return targetAlpha;
    return smoothed;
}

bool gaugeAtRest(const MonitorState& state) {
    constexpr double kRestTolerance = 1e-6; // radians
    const double target = gaugeTargetAngle(state);
    return std::isfinite(target) && std::isfinite(state.filtered_alpha) &&
           std::fabs(state.filtered_alpha - target) <= kRestTolerance;
}

quint32 gaugeScaleColour(bool darkMode) {
    return darkMode ? GaugeGeometry::kScaleColourDark : GaugeGeometry::kScaleColourLight;
}

GaugeGeometry paintGauge(MonitorState& state, double canvasWidth, double canvasHeight) {
    return paintGauge(state, canvasWidth, canvasHeight, false);
}

GaugeGeometry paintGauge(MonitorState& state, double canvasWidth, double canvasHeight, bool darkMode) {
    const GaugeGeometry g = gaugeGeometry(state, canvasWidth, canvasHeight, darkMode);
    state.filtered_alpha = g.alpha;
    return g;
}

GaugeGeometry gaugeGeometry(const MonitorState& state, double canvasWidth, double canvasHeight, bool darkMode) {
    GaugeGeometry g;
    g.canvas = QSizeF(canvasWidth, canvasHeight);

    // The smoothing advances with paints, before anything is drawn.
    g.targetAlpha = gaugeTargetAngle(state);
    g.alpha = smoothGaugeAngle(state.filtered_alpha, g.targetAlpha);
    const double alpha = g.alpha;

    const QPointF hub = g.hubCentre;
    const double L = canvasHeight - kHubToBaseline;
    g.pointerLength = L;
    g.pointerLower = pointerHalf(hub, alpha, L, g.canvas);
    g.pointerUpper = pointerHalf(hub, alpha, -L, g.canvas);

    g.scaleColour = gaugeScaleColour(darkMode);
    g.xa = hub.x() + std::tan(GaugeGeometry::kLowAngle) * L;
    g.xb = hub.x() + std::tan(GaugeGeometry::kHighAngle) * L;
    g.baselineY = hub.y() + L;
    const double y = g.baselineY;
    g.baseline = QLineF(g.xb, y, g.xa, y);
    g.endTicks = {QLineF(g.xa, y, g.xa, y + 7), QLineF(g.xb, y, g.xb, y + 7)};
    for (int k = 1; k <= 3; ++k) {
        const double x = g.xa + k * (g.xb - g.xa) / 4;
        g.minorTicks[k - 1] = QLineF(x, y, x, y + 5);
    }

    const double textBaseline = canvasHeight - kTextBaselineInset;
    g.lowTextOrigin = QPointF(4, textBaseline);
    g.highTextOrigin = QPointF(g.xb + 8, textBaseline);
    //: The spaces after the colon bring the last word under the low end of the speed scale.
    g.lowText = QCoreApplication::translate("GaugeGeometry", "Speed :     LOW");
    g.highText = QCoreApplication::translate("GaugeGeometry", "HIGH");

    // Blade shapes: u along the chord, v across it; scaled 0.7, turned by the quarter turn
    // minus alpha and placed so that the chord runs through the hub along the pointer.
    const QPointF along(std::sin(alpha), std::cos(alpha));
    g.chordStart = hub - kHalfChord * along;
    g.chordEnd = hub + kHalfChord * along;
    const double theta = GaugeGeometry::kQuarterTurn - alpha;
    const double cosT = std::cos(theta);
    const double sinT = std::sin(theta);
    const QPointF origin = g.chordStart;
    auto place = [&](QPointF shape) {
        return QPointF(origin.x() + kBladeScale * (shape.x() * cosT - shape.y() * sinT),
                       origin.y() + kBladeScale * (shape.x() * sinT + shape.y() * cosT));
    };
    const QPointF leading(0, 0), trailing(100, 0);
    for (int i = 0; i <= GaugeGeometry::kBladeSegments; ++i) {
        const double t = double(i) / GaugeGeometry::kBladeSegments;
        g.suctionSide.append(place(bezierCubic(leading, QPointF(2, -13), QPointF(67, -22), trailing, t)));
        g.pressureSide.append(place(bezierQuadratic(leading, QPointF(6, 10), trailing, t)));
    }
    return g;
}

#pragma once

#include "core/MonitorState.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

#include <array>

// The pitch and speed gauge CanvasProp, as numbers: a picture of the hub, a blade section
// turned to the pitch angle, and a pointer line along the blade chord down to a "speed"
// scale from LOW to HIGH. The angle alpha is measured from the downward vertical towards
// the right, so a line leaving the hub at alpha runs in direction (sin alpha, cos alpha).
// Everything is in canvas coordinates (origin top left, y downwards); the window's paint
// handler only draws what is here.

// A line to draw, or nothing when it lies wholly outside the canvas.
struct GaugeLine {
    QLineF line;
    bool visible = false;
};

struct GaugeGeometry {
    static constexpr double kDegree = 0.01745;   // radians per degree
    static constexpr double kLowAngle = 0.5235;  // 30 degrees: LOW end of the scale
    static constexpr double kHighAngle = 1.1517; // 66 degrees: HIGH end of the scale
    static constexpr double kQuarterTurn = 1.5705;
    static constexpr quint32 kMainColour = 0xFF5A91A8; // pointer line and blade outline (ARGB)
    static constexpr quint32 kScaleColourLight = 0xFF000000;
    static constexpr quint32 kScaleColourDark = 0xFFE2E2E2;
    static constexpr quint32 kBladeFillColour = 0xFFFFFFFF;
    static constexpr double kBladeFillOpacity = 0.8;
    static constexpr int kBladeSegments = 12; // straight segments per blade curve

    QSizeF canvas;
    double targetAlpha = 0; // from Pression and the settings, radians
    double alpha = 0;       // the smoothed angle drawn (filtered_alpha after this paint)

    // Hub picture Moyeu2: drawn whole, top left at (-18, -20), scaled 0.51 both ways.
    QPointF hubPictureOrigin{-18, -20};
    double hubPictureScale = 0.51;
    QRectF hubPictureRect(const QSizeF& naturalSize) const {
        return QRectF(hubPictureOrigin, naturalSize * hubPictureScale);
    }

    QPointF hubCentre{75, 43};
    double pointerLength = 0; // L: canvas height - 53

    // Lines: pen 2 wide, 1 high. The pointer is one straight line through the hub made of two
    // halves, each clipped to the canvas (near 90 degrees the unclipped ends run off to
    // infinity).
    double penWidth = 2;
    double penHeight = 1;
    GaugeLine pointerLower; // hub to (75 + tan(alpha) L, 43 + L), touching the baseline
    GaugeLine pointerUpper; // hub to (75 - tan(alpha) L, 43 - L)
    quint32 pointerColour = kMainColour;

    // Scale, in the scale colour.
    double xa = 0;                    // LOW end: 75 + tan(30 deg) L
    double xb = 0;                    // HIGH end: 75 + tan(66 deg) L
    double baselineY = 0;             // 43 + L = canvas height - 10
    QLineF baseline;                  // (xb, y) to (xa, y)
    std::array<QLineF, 2> endTicks;   // 7 down at xa, then at xb
    std::array<QLineF, 3> minorTicks; // 5 down at the quarters between xa and xb
    quint32 scaleColour = kScaleColourLight;

    // Texts, scale colour, baseline at canvas height - 2.
    QString fontFamily = QStringLiteral("Helvetica");
    int fontPointSize = 15;
    QString lowText;       // "Speed :     LOW", in the user's language
    QPointF lowTextOrigin; // x = 4
    QString highText;      // "HIGH", in the user's language
    QPointF highTextOrigin; // x = xb + 8

    // Blade section: two closed shapes, each the curve (12 segments, 13 points) closed by the
    // chord, filled white at 80 % and outlined in the main colour, width 1. The suction side
    // is drawn first and bulges to the upper right of the chord.
    QVector<QPointF> suctionSide;
    QVector<QPointF> pressureSide;
    QPointF chordStart; // 35 before the hub along the chord
    QPointF chordEnd;   // 35 beyond it
    double bladeOutlineWidth = 1;
};

// The target angle from Pression and ValeurHautePression, growing from 30 to 66 degrees with
// pressure in pitch design mode 0 and falling from 66 to 30 otherwise; no clamping.
double gaugeTargetAngle(const MonitorState& state);

// One paint's smoothing: a fifth of the way to the target, or straight to it when the
// smoothed value would differ from it by more than 30 %.
double smoothGaugeAngle(double filteredAlpha, double targetAlpha);

// True when the smoothed angle already sits on a defined target (to a millionth of a radian,
// far below a pixel): one more paint would draw the same gauge and barely move the angle, so
// the paint that an HPU frame asks for can be left out.
bool gaugeAtRest(const MonitorState& state);

// The scale and text colour for the system appearance (ARGB).
quint32 gaugeScaleColour(bool darkMode);

// Everything CanvasProp draws, in canvas coordinates, computed from the state, with the angle
// one paint's smoothing on from state.filtered_alpha (gauge.alpha); the state is left as it is.
// Safe for ValeurHautePression 0 and angles near 90°.
GaugeGeometry gaugeGeometry(const MonitorState& state, double canvasWidth, double canvasHeight, bool darkMode);
// The same, keeping the smoothed angle in state.filtered_alpha: one paint.
GaugeGeometry paintGauge(MonitorState& state, double canvasWidth, double canvasHeight);
GaugeGeometry paintGauge(MonitorState& state, double canvasWidth, double canvasHeight, bool darkMode);

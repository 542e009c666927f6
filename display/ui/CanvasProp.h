#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>

struct GaugeGeometry;
struct MonitorState;
class QPainter;

// CanvasProp, the pitch and speed gauge: the hub picture, the pointer along the blade
// chord, the LOW..HIGH speed scale and the blade section. Each paint takes the core's
// geometry for the current state, hands the angle smoothed one step on to keepAngle (the
// monitor keeps it in the record) and draws it; nothing else draws the gauge. The hub picture is scaled once per screen
// resolution and then copied at each paint: smooth scaling it anew at every HPU frame
// cost more than the rest of the gauge.
class CanvasProp : public QWidget {
    Q_OBJECT
public:
    CanvasProp(const MonitorState& state, std::function<void(double)> keepAngle, const QImage& hub,
               QWidget* parent = nullptr);

    // Dark appearance: the window background is darker than mid-grey.
    static bool isDarkAppearance(const QPalette& palette);

    // What an HPU frame asks for: a repaint, unless the gauge already rests on its target
    // and the paint would draw the same picture again.
    void requestRepaint();

    // The hub picture at the gauge's scale for a screen of this device pixel ratio.
    static QImage hubAtScale(const QImage& hub, const GaugeGeometry& gauge, qreal devicePixelRatio);

    // Draws one gauge, with the hub picture already at its scale (hubAtScale). Lines the
    // geometry marks as off the canvas, and points that are not finite or lie far off it (an
    // undefined angle), are left out rather than drawn.
    static void drawGauge(QPainter& painter, const GaugeGeometry& gauge, const QImage& scaledHub);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const MonitorState& state_;
    std::function<void(double)> keepAngle_;
    const QImage& hub_;
    QImage scaledHub_; // hub_ at the gauge's scale, for scaledHub_.devicePixelRatio()
};

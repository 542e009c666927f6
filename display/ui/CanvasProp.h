#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

struct GaugeGeometry;
struct MonitorState;
class QPainter;

// CanvasProp, the pitch and speed gauge: the hub picture, the pointer along the blade
// chord, the LOW..HIGH speed scale and the blade section. Each paint takes the core's
// geometry for the current state (which also advances the smoothed angle one step) and
// draws it; nothing else draws the gauge.
class CanvasProp : public QWidget {
    Q_OBJECT
public:
    CanvasProp(MonitorState& state, const QImage& hub, QWidget* parent = nullptr);

    // Dark appearance: the window background is darker than mid-grey.
    static bool isDarkAppearance(const QPalette& palette);

    // Draws one gauge. Lines the geometry marks as off the canvas, and points that are not
    // finite or lie far off it (an undefined angle), are left out rather than drawn.
    static void drawGauge(QPainter& painter, const GaugeGeometry& gauge, const QImage& hub);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MonitorState& state_;
    const QImage& hub_;
};

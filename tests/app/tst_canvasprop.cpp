#include "display/ui/CanvasProp.h"

#include "core/MonitorState.h"
#include "display/GaugeGeometry.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <cmath>
#include <functional>

namespace {

constexpr int kWidth = 309;
constexpr int kHeight = 135;

// The gauge hands its smoothed angle back, as the window hands it to the monitor's record.
std::function<void(double)> keepAngleIn(MonitorState& state) {
    return [&state](double alpha) { state.filtered_alpha = alpha; };
}

QImage render(CanvasProp& canvas) {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    canvas.render(&image, QPoint(), QRegion(), QWidget::DrawChildren); // no window background
    return image;
}

bool anyPixelOf(const QImage& image, const QColor& colour, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

// Counts the paints a widget receives.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

} // namespace

class TestCanvasProp : public QObject {
    Q_OBJECT

private:
    QImage hub{QStringLiteral(VELMORA_RESOURCES_DIR "/Moyeu2.png")};

private slots:
    void initTestCase() { QVERIFY(!hub.isNull()); }

    void undefinedAnglesPaintWithoutFailing_data() {
        QTest::addColumn<double>("pressure");
        QTest::addColumn<double>("fullTravel");
        QTest::newRow("full-travel pressure 0") << 2.0 << 0.0;
        QTest::newRow("full-travel pressure 0 and no pressure") << 0.0 << 0.0;
        QTest::newRow("angle at 90 degrees") << 8.3333333 << 5.0;
        QTest::newRow("angle beyond 90 degrees") << 20.0 << 5.0;
    }

    void undefinedAnglesPaintWithoutFailing() {
        QFETCH(double, pressure);
        QFETCH(double, fullTravel);
        MonitorState state;
        state.Pression = pressure;
        state.ValeurHautePression = fullTravel;
        CanvasProp canvas(state, keepAngleIn(state), hub);
        canvas.resize(kWidth, kHeight);

        for (int paint = 0; paint < 5; ++paint) {
            const QImage image = render(canvas);
            // The scale and the hub are still there around whatever the pointer does.
            QVERIFY(anyPixelOf(image, Qt::black, QRect(130, 123, 120, 4)));
            QVERIFY(image.pixelColor(20, 43).alpha() == 255);
        }
        QVERIFY(std::isfinite(state.filtered_alpha));
    }

    void hubPictureAtItsPlace() {
        MonitorState state;
        const QImage noHub;
        CanvasProp without(state, keepAngleIn(state), noHub);
        without.resize(kWidth, kHeight);
        QCOMPARE(render(without).pixelColor(20, 43).alpha(), 0);

        CanvasProp with(state, keepAngleIn(state), hub);
        with.resize(kWidth, kHeight);
        // (20, 43) lies on the shaft of the picture drawn at (-18, -20), scale 0.51.
        QCOMPARE(render(with).pixelColor(20, 43).alpha(), 255);

        // Scaled once for the screen: 366 x 248 at 0.51 is 186.7 x 126.5 points.
        const GaugeGeometry gauge;
        QCOMPARE(CanvasProp::hubAtScale(hub, gauge, 1.0).size(), QSize(187, 126));
        const QImage retina = CanvasProp::hubAtScale(hub, gauge, 2.0);
        QCOMPARE(retina.size(), QSize(373, 253));
        QCOMPARE(retina.devicePixelRatio(), 2.0);
        QVERIFY(CanvasProp::hubAtScale(noHub, gauge, 1.0).isNull());
    }

    // HPU frames ask for a repaint each; once the pointer rests on its target they are left
    // out, until the pressure moves again.
    void restingGaugeIsNotRepainted() {
        MonitorState state;
        state.ValeurHautePression = 5.0;
        state.Pression = 2.5;        // target 48 degrees, 0.838 rad
        state.filtered_alpha = 0.75; // close enough to be smoothed, not jumped
        CanvasProp canvas(state, keepAngleIn(state), hub);
        canvas.resize(kWidth, kHeight);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        PaintCounter counter(canvas);

        auto hpuFrames = [&](int frames) {
            counter.paints = 0;
            for (int frame = 0; frame < frames; ++frame) {
                canvas.requestRepaint();
                QCoreApplication::processEvents();
            }
            return counter.paints;
        };
        const int moving = hpuFrames(200);
        QVERIFY2(moving > 10 && moving < 100, qPrintable(QString::number(moving)));
        QVERIFY(gaugeAtRest(state));
        QCOMPARE(hpuFrames(20), 0);

        state.Pression = 3.0;
        QVERIFY(hpuFrames(20) == 20);
    }

    void scaleColourFollowsTheAppearance_data() {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("scale");
        QTest::newRow("light: black") << QColor(0xEC, 0xEC, 0xEC) << QColor(Qt::black);
        QTest::newRow("dark: light grey") << QColor(0x32, 0x32, 0x32) << QColor(0xE2, 0xE2, 0xE2);
    }

    void scaleColourFollowsTheAppearance() {
        QFETCH(QColor, window);
        QFETCH(QColor, scale);
        MonitorState state;
        CanvasProp canvas(state, keepAngleIn(state), hub);
        canvas.resize(kWidth, kHeight);
        QPalette palette = canvas.palette();
        palette.setColor(QPalette::Window, window);
        canvas.setPalette(palette);

        const QImage image = render(canvas);
        // The baseline at y = 125, between its ticks, and the texts at the bottom.
        QVERIFY(anyPixelOf(image, scale, QRect(150, 124, 80, 2)));
        QVERIFY(anyPixelOf(image, scale, QRect(4, 120, 100, 15)));
        // The pointer keeps the main colour in both appearances.
        QVERIFY(anyPixelOf(image, QColor(0x5A, 0x91, 0xA8), QRect(0, 0, kWidth, kHeight)));
    }
};

QTEST_MAIN(TestCanvasProp)
#include "tst_canvasprop.moc"

#include "display/GaugeGeometry.h"

#include <QTest>

#include <cmath>

namespace {

bool finite(QPointF p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}
bool finite(const QLineF& l) {
    return finite(l.p1()) && finite(l.p2());
}

bool inside(QPointF p, const QSizeF& canvas) {
    const double eps = 1e-9;
    return p.x() >= -eps && p.y() >= -eps && p.x() <= canvas.width() + eps && p.y() <= canvas.height() + eps;
}

// Every coordinate the paint handler would use.
bool allFinite(const GaugeGeometry& g) {
    bool ok = std::isfinite(g.alpha) && std::isfinite(g.targetAlpha) && finite(g.pointerLower.line) &&
              finite(g.pointerUpper.line) && finite(g.baseline) && finite(g.lowTextOrigin) &&
              finite(g.highTextOrigin) && finite(g.chordStart) && finite(g.chordEnd) &&
              finite(g.hubPictureRect(QSizeF(200, 160)).topLeft());
    for (const QLineF& l : g.endTicks)
        ok = ok && finite(l);
    for (const QLineF& l : g.minorTicks)
        ok = ok && finite(l);
    for (QPointF p : g.suctionSide + g.pressureSide)
        ok = ok && finite(p);
    return ok;
}

MonitorState gaugeState(qint64 mode, double pression, double pmax, double filtered) {
    MonitorState state;
    state.ValeurModeCalage = mode;
    state.Pression = pression;
    state.ValeurHautePression = pmax;
    state.filtered_alpha = filtered;
    return state;
}

void fuzzyPoint(QPointF actual, QPointF expected, double tolerance) {
    QVERIFY2(std::fabs(actual.x() - expected.x()) < tolerance &&
                 std::fabs(actual.y() - expected.y()) < tolerance,
             qPrintable(QStringLiteral("(%1, %2) instead of (%3, %4)")
                            .arg(actual.x())
                            .arg(actual.y())
                            .arg(expected.x())
                            .arg(expected.y())));
}

} // namespace

class TestGaugeGeometry : public QObject {
    Q_OBJECT
private slots:
    void smoothing_data() {
        QTest::addColumn<qint64>("mode");
        QTest::addColumn<double>("pression");
        QTest::addColumn<double>("pmax");
        QTest::addColumn<double>("filteredBefore");
        QTest::addColumn<double>("target");
        QTest::addColumn<double>("filteredAfter");
        QTest::newRow("first paint at P 0 moves a fifth, no jump")
            << qint64(0) << 0.0 << 5.0 << 0.5 << 0.5235 << 0.5047;
        QTest::newRow("full travel after a long rest jumps")
            << qint64(0) << 5.0 << 5.0 << 0.5235 << 1.1517 << 1.1517;
        QTest::newRow("half travel smoothed")
            << qint64(0) << 2.5 << 5.0 << 0.8 << 48 * 0.01745 << (4 * 0.8 + 48 * 0.01745) / 5;
        QTest::newRow("mode 1 at P 0 is 66 degrees") << qint64(1) << 0.0 << 5.0 << 1.1517 << 1.1517 << 1.1517;
        QTest::newRow("mode 1 at Pmax is 30 degrees")
            << qint64(1) << 5.0 << 5.0 << 0.5235 << 0.5235 << 0.5235;
        QTest::newRow("pressure above Pmax not clamped")
            << qint64(0) << 10.0 << 5.0 << 0.5 << 102 * 0.01745 << 102 * 0.01745;
        QTest::newRow("Pmax 0 rests at 30 degrees in mode 0")
            << qint64(0) << 3.0 << 0.0 << 0.5 << 0.5235 << 0.5047;
        QTest::newRow("Pmax 0 rests at 66 degrees in mode 1")
            << qint64(1) << 3.0 << 0.0 << 1.1517 << 1.1517 << 1.1517;
        QTest::newRow("ratio too large rests in mode 0")
            << qint64(0) << 655.35 << 1e-308 << 0.5235 << 0.5235 << 0.5235;
        QTest::newRow("filtered 0 jumps to the target") << qint64(0) << 0.0 << 5.0 << 0.0 << 0.5235 << 0.5235;
        QTest::newRow("filtered not a number jumps to the target")
            << qint64(0) << 0.0 << 5.0 << std::nan("") << 0.5235 << 0.5235;
    }
    void smoothing() {
        QFETCH(qint64, mode);
        QFETCH(double, pression);
        QFETCH(double, pmax);
        QFETCH(double, filteredBefore);
        QFETCH(double, target);
        QFETCH(double, filteredAfter);
        MonitorState state = gaugeState(mode, pression, pmax, filteredBefore);
        const GaugeGeometry g = paintGauge(state, 309, 135);
        QCOMPARE(g.targetAlpha, target);
        QCOMPARE(state.filtered_alpha, filteredAfter);
        QCOMPARE(g.alpha, filteredAfter);
    }

    // The angle moves with paints, a fifth of the remaining way each time.
    void eachPaintAdvancesTheSmoothing() {
        MonitorState state = gaugeState(0, 0.0, 5.0, 0.5);
        paintGauge(state, 309, 135);
        paintGauge(state, 309, 135);
        const double once = (4 * 0.5 + 0.5235) / 5;
        QCOMPARE(state.filtered_alpha, (4 * once + 0.5235) / 5);
    }

    // Paints bring the angle to rest on its target; a new pressure sets it moving again, and
    // an undefined target never rests.
    void gaugeComesToRest() {
        MonitorState state = gaugeState(0, 2.5, 5.0, 0.75); // target 48 degrees, 0.838 rad
        QVERIFY(!gaugeAtRest(state));
        int paints = 0;
        while (!gaugeAtRest(state) && paints < 1000) {
            paintGauge(state, 309, 135);
            ++paints;
        }
        QVERIFY2(paints > 10 && paints < 100, qPrintable(QString::number(paints)));
        const double rested = state.filtered_alpha;
        paintGauge(state, 309, 135);
        QVERIFY(std::fabs(state.filtered_alpha - rested) < 1e-6);

        state.Pression = 2.6;
        QVERIFY(!gaugeAtRest(state));

        MonitorState undefined = gaugeState(0, 2.0, 0.0, 0.5); // full travel at 0 bar
        for (int paint = 0; paint < 5; ++paint) {
            QVERIFY(!gaugeAtRest(undefined));
            paintGauge(undefined, 309, 135);
        }
    }

    void designCanvas() {
        MonitorState state = gaugeState(0, 5.0, 5.0, 1.1517); // at 66 degrees
        const GaugeGeometry g = paintGauge(state, 309, 135);

        QCOMPARE(g.pointerLength, 82.0);
        QCOMPARE(g.baselineY, 125.0);
        QVERIFY(std::fabs(g.xa - 122.3) < 0.05);
        QVERIFY(std::fabs(g.xb - 259.1) < 0.05);
        QVERIFY(std::fabs(g.highTextOrigin.x() - 267.1) < 0.05);
        QCOMPARE(g.highTextOrigin.y(), 133.0);
        QCOMPARE(g.lowTextOrigin, QPointF(4, 133));
        QCOMPARE(g.lowText, QStringLiteral("Speed :     LOW"));
        QCOMPARE(g.highText, QStringLiteral("HIGH"));
        QCOMPARE(g.fontFamily, QStringLiteral("Helvetica"));
        QCOMPARE(g.fontPointSize, 15);

        QCOMPARE(g.baseline, QLineF(g.xb, 125, g.xa, 125));
        QCOMPARE(g.endTicks[0], QLineF(g.xa, 125, g.xa, 132));
        QCOMPARE(g.endTicks[1], QLineF(g.xb, 125, g.xb, 132));
        const double quarter = (g.xb - g.xa) / 4;
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(g.minorTicks[k - 1], QLineF(g.xa + k * quarter, 125, g.xa + k * quarter, 130));

        // At 66 degrees the pointer touches the baseline at the HIGH end; its upper half
        // leaves the canvas and stops at its edge.
        QVERIFY(g.pointerLower.visible);
        QCOMPARE(g.pointerLower.line.p1(), QPointF(75, 43));
        fuzzyPoint(g.pointerLower.line.p2(), QPointF(g.xb, 125), 1e-9);
        QVERIFY(g.pointerUpper.visible);
        QCOMPARE(g.pointerUpper.line.p1(), QPointF(75, 43));
        QCOMPARE(g.pointerUpper.line.p2().x(), 0.0); // the left side, 75 to the left of the hub
        QVERIFY(std::fabs(g.pointerUpper.line.p2().y() - (43 - 75 / std::tan(1.1517))) < 1e-9);

        QCOMPARE(g.hubPictureRect(QSizeF(200, 160)), QRectF(-18, -20, 102, 81.6));
        QCOMPARE(g.penWidth, 2.0);
        QCOMPARE(g.penHeight, 1.0);
    }

    void lowEndInModeOne() {
        MonitorState state = gaugeState(1, 5.0, 5.0, 0.5235); // full pressure: 30 degrees
        const GaugeGeometry g = paintGauge(state, 309, 135);
        fuzzyPoint(g.pointerLower.line.p2(), QPointF(g.xa, 125), 1e-9);
    }

    void colours_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<quint32>("scale");
        QTest::newRow("light appearance: black scale") << false << 0xFF000000u;
        QTest::newRow("dark appearance: light grey scale") << true << 0xFFE2E2E2u;
    }
    void colours() {
        QFETCH(bool, dark);
        MonitorState state;
        const GaugeGeometry g = paintGauge(state, 309, 135, dark);
        QTEST(g.scaleColour, "scale");
        QCOMPARE(g.pointerColour, 0xFF5A91A8u); // pointer and blade keep theirs
        QCOMPARE(GaugeGeometry::kBladeFillColour, 0xFFFFFFFFu);
        QCOMPARE(GaugeGeometry::kBladeFillOpacity, 0.8);
    }

    // With the chord turned a quarter (alpha = 1.5705) the shapes are the curves themselves,
    // scaled 0.7 and shifted to the chord start.
    void bladeShapesAtAQuarterTurn() {
        MonitorState state = gaugeState(0, 5.0, 3.0, 1.5705); // 90 degrees by the angle factor
        const GaugeGeometry g = paintGauge(state, 309, 135);
        QCOMPARE(g.alpha, 1.5705);
        QCOMPARE(g.suctionSide.size(), 13);
        QCOMPARE(g.pressureSide.size(), 13);
        const QPointF p0(40.0, 42.98963); // 75 - 35 sin(alpha), 43 - 35 cos(alpha)
        fuzzyPoint(g.chordStart, p0, 1e-4);
        fuzzyPoint(g.suctionSide.first(), p0, 1e-4);
        fuzzyPoint(g.suctionSide.last(), p0 + QPointF(70, 0), 1e-4);
        fuzzyPoint(g.pressureSide.last(), p0 + QPointF(70, 0), 1e-4);
        // Halfway: cubic (38.375, -13.125) and quadratic (28, 5) in shape units.
        fuzzyPoint(g.suctionSide[6], p0 + 0.7 * QPointF(38.375, -13.125), 1e-2);
        fuzzyPoint(g.pressureSide[6], p0 + 0.7 * QPointF(28, 5), 1e-2);
    }

    // The chord lies on the pointer line, centred on the hub; the suction side bulges to the
    // upper right of it and the pressure side to the lower left.
    void bladeFollowsThePointer() {
        MonitorState state = gaugeState(0, 2.0, 5.0, 0.8);
        const GaugeGeometry g = paintGauge(state, 309, 135);
        const double a = g.alpha;
        fuzzyPoint((g.chordStart + g.chordEnd) / 2, QPointF(75, 43), 1e-9);
        fuzzyPoint(g.chordEnd, QPointF(75 + 35 * std::sin(a), 43 + 35 * std::cos(a)), 1e-9);
        const QPointF upperRight(std::cos(a), -std::sin(a));
        for (int i = 1; i < 12; ++i) {
            const QPointF s = g.suctionSide[i] - QPointF(75, 43);
            const QPointF p = g.pressureSide[i] - QPointF(75, 43);
            QVERIFY(QPointF::dotProduct(s, upperRight) > 0);
            QVERIFY(QPointF::dotProduct(p, upperRight) < 0);
        }
    }

    void tallerCanvasLengthensThePointer() {
        MonitorState design = gaugeState(0, 0.0, 5.0, 0.5235);
        MonitorState tall = gaugeState(0, 0.0, 5.0, 0.5235);
        const GaugeGeometry d = paintGauge(design, 309, 135);
        const GaugeGeometry t = paintGauge(tall, 309, 200);
        QCOMPARE(t.pointerLength, 147.0);
        QCOMPARE(t.baselineY, 190.0);
        QCOMPARE(t.lowTextOrigin, QPointF(4, 198));
        QVERIFY(t.xa > d.xa && t.xb > d.xb);
        QVERIFY(t.pointerLower.line.length() > d.pointerLower.line.length() + 60);
        // Hub, blade and texts keep their size and place.
        QCOMPARE(t.hubCentre, d.hubCentre);
        QCOMPARE(t.hubPictureRect(QSizeF(200, 160)), d.hubPictureRect(QSizeF(200, 160)));
        QCOMPARE(t.suctionSide, d.suctionSide);
        QCOMPARE(t.pressureSide, d.pressureSide);
        QCOMPARE(t.fontPointSize, d.fontPointSize);
    }

    // Settings the file does not prevent: the paint never fails and the pointer stays on the canvas.
    void unusualAnglesStayFiniteAndInside_data() {
        QTest::addColumn<qint64>("mode");
        QTest::addColumn<double>("pression");
        QTest::addColumn<double>("pmax");
        QTest::addColumn<double>("filtered");
        QTest::addColumn<double>("height");
        QTest::newRow("Pmax 0, mode 0") << qint64(0) << 3.0 << 0.0 << 0.5 << 135.0;
        QTest::newRow("Pmax 0, mode 1") << qint64(1) << 3.0 << 0.0 << 0.5 << 135.0;
        QTest::newRow("90 degrees by the angle factor") << qint64(0) << 5.0 << 3.0 << 1.5705 << 135.0;
        QTest::newRow("half pi") << qint64(0) << 5.0 << 3.0 << std::atan(1.0) * 2 << 135.0;
        QTest::newRow("beyond 90 degrees") << qint64(0) << 10.0 << 5.0 << 0.5 << 135.0;
        QTest::newRow("largest pressure") << qint64(0) << 655.35 << 5.0 << 0.5 << 135.0;
        QTest::newRow("stale pressure -1") << qint64(1) << -1.0 << 5.0 << 0.5 << 135.0;
        QTest::newRow("negative Pmax") << qint64(0) << 5.0 << -5.0 << 0.5 << 135.0;
        QTest::newRow("tiny Pmax") << qint64(0) << 655.35 << 1e-308 << 0.5 << 135.0;
        QTest::newRow("filtered not a number") << qint64(0) << 0.0 << 5.0 << std::nan("") << 135.0;
        QTest::newRow("canvas shorter than the pointer offset") << qint64(0) << 2.0 << 5.0 << 0.5 << 40.0;
        QTest::newRow("tall canvas near 90 degrees") << qint64(0) << 5.0 << 3.0 << 1.5705 << 1000.0;
    }
    void unusualAnglesStayFiniteAndInside() {
        QFETCH(qint64, mode);
        QFETCH(double, pression);
        QFETCH(double, pmax);
        QFETCH(double, filtered);
        QFETCH(double, height);
        MonitorState state = gaugeState(mode, pression, pmax, filtered);
        for (int paint = 0; paint < 3; ++paint) {
            const GaugeGeometry g = paintGauge(state, 309, height);
            QVERIFY(std::isfinite(state.filtered_alpha));
            QVERIFY(allFinite(g));
            for (const GaugeLine& half : {g.pointerLower, g.pointerUpper}) {
                if (!half.visible)
                    continue;
                QVERIFY(inside(half.line.p1(), g.canvas));
                QVERIFY(inside(half.line.p2(), g.canvas));
            }
        }
    }

    // At 90 degrees the pointer is all but horizontal and is cut at the canvas sides.
    void ninetyDegreesReachesTheSides() {
        MonitorState state = gaugeState(0, 5.0, 3.0, 1.5705);
        const GaugeGeometry g = paintGauge(state, 309, 135);
        QVERIFY(g.pointerLower.visible && g.pointerUpper.visible);
        QCOMPARE(g.pointerLower.line.p2().x(), 309.0);
        QVERIFY(std::fabs(g.pointerLower.line.p2().y() - 43) < 0.1);
        QCOMPARE(g.pointerUpper.line.p2().x(), 0.0);
        QVERIFY(std::fabs(g.pointerUpper.line.p2().y() - 43) < 0.1);
    }
};

QTEST_GUILESS_MAIN(TestGaugeGeometry)
#include "tst_gaugegeometry.moc"

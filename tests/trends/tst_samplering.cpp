#include "trends/NiceScale.h"
#include "trends/SampleRing.h"
#include "trends/TrendSegments.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

// The ring of the last hour: bounds, wrap, gaps; and the curves drawn from it.
namespace {

const QDateTime kStart(QDate(2026, 3, 14), QTime(10, 0, 0));

SecondSample sampleAt(int second, std::optional<double> inputVoltage) {
    SecondSample s;
    s.time = kStart.addSecs(second);
    s.inputVoltage = inputVoltage;
    s.speed = 1500 + second;
    return s;
}

qint64 ms(int second) {
    return kStart.addSecs(second).toMSecsSinceEpoch();
}

QVector<TrendPoint> pointsOf(const SampleRing& ring) {
    return ring.between(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
}

// The seconds each segment covers, "0-2 4-5": what a chart draws and where it breaks.
QString runs(const QVector<TrendSegment>& segments) {
    QStringList parts;
    for (const TrendSegment& s : segments)
        parts << QStringLiteral("%1-%2")
                     .arg((qint64(s.first().x()) - ms(0)) / 1000)
                     .arg((qint64(s.last().x()) - ms(0)) / 1000);
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestSampleRing : public QObject {
    Q_OBJECT
private slots:
    void holdsAnHourByDefault() {
        SampleRing ring;
        QVERIFY(ring.capacity() >= 3600);
        for (int i = 0; i < 3700; ++i)
            ring.append(sampleAt(i, 48.0));
        QCOMPARE(ring.size(), ring.capacity());
        QCOMPARE(ring.at(ring.size() - 1).time, ms(3699));
        QCOMPARE(ring.at(0).time, ms(3700 - ring.capacity()));
    }

    void wrapsKeepingTheNewestInOrder() {
        SampleRing ring(5);
        QSignalSpy appended(&ring, &SampleRing::appended);
        for (int i = 0; i < 7; ++i)
            ring.append(sampleAt(i, 40.0 + i));
        QCOMPARE(appended.count(), 7);
        QCOMPARE(ring.size(), 5);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(ring.at(i).time, ms(i + 2));
            QCOMPARE(ring.at(i).value(TrendChannel::InputVoltage), float(42.0 + i));
        }
        // A span across the wrap point comes back oldest first.
        const QVector<TrendPoint> span = ring.between(ms(3), ms(5));
        QCOMPARE(span.size(), 3);
        QCOMPARE(span.first().time, ms(3));
        QCOMPARE(span.last().time, ms(5));
        ring.clear();
        QCOMPARE(ring.size(), 0);
    }

    void unknownValuesAreKeptAsGapsNotNumbers() {
        SampleRing ring;
        ring.append(sampleAt(0, std::nullopt));
        const TrendPoint& p = ring.at(0);
        QVERIFY(!p.known(TrendChannel::InputVoltage));
        QVERIFY(!p.known(TrendChannel::Pressure));
        QVERIFY(p.known(TrendChannel::Speed));
        QCOMPARE(p.value(TrendChannel::Speed), 1500.0f);
    }

    void curvesBreakAtSilenceAndAtMissingSeconds_data() {
        QTest::addColumn<QVector<int>>("seconds"); // seconds with a sample
        QTest::addColumn<QVector<int>>("silent");  // of those, seconds where the value is unknown
        QTest::addColumn<QString>("expected");

        QTest::newRow("unbroken minute") << QVector<int>{0, 1, 2, 3} << QVector<int>{} << "0-3";
        QTest::newRow("silent seconds") << QVector<int>{0, 1, 2, 3, 4, 5} << QVector<int>{2, 3} << "0-1 4-5";
        QTest::newRow("silent at both ends") << QVector<int>{0, 1, 2, 3} << QVector<int>{0, 3} << "1-2";
        QTest::newRow("line down for more than 3 s")
            << QVector<int>{0, 1, 5, 6} << QVector<int>{} << "0-1 5-6";
        QTest::newRow("a missed tick is joined") << QVector<int>{0, 1, 3, 4} << QVector<int>{} << "0-4";
        QTest::newRow("lone point") << QVector<int>{0, 1, 2} << QVector<int>{0, 2} << "1-1";
        QTest::newRow("all silent") << QVector<int>{0, 1} << QVector<int>{0, 1} << "";
    }
    void curvesBreakAtSilenceAndAtMissingSeconds() {
        QFETCH(QVector<int>, seconds);
        QFETCH(QVector<int>, silent);
        QFETCH(QString, expected);
        SampleRing ring;
        for (int s : seconds)
            ring.append(sampleAt(s, silent.contains(s) ? std::nullopt : std::optional<double>(48.0)));
        QCOMPARE(runs(trendSegments(pointsOf(ring), TrendChannel::InputVoltage, ms(0), ms(60))), expected);
    }

    void spanLimitsTheCurve() {
        SampleRing ring;
        for (int i = 0; i < 120; ++i)
            ring.append(sampleAt(i, 48.0));
        QCOMPARE(runs(trendSegments(pointsOf(ring), TrendChannel::InputVoltage, ms(60), ms(119))), "60-119");
    }

    void longSpansKeepPeaksAndGapsWithinThePointBudget() {
        SampleRing ring;
        for (int i = 0; i < 3600; ++i) {
            std::optional<double> v = 48.0;
            if (i == 1000)
                v = 70.0; // one second's spike
            if (i == 2000)
                v = 10.0;
            if (i >= 3000 && i < 3060)
                v = std::nullopt; // a silent minute
            ring.append(sampleAt(i, v));
        }
        const QVector<TrendSegment> segments =
            trendSegments(pointsOf(ring), TrendChannel::InputVoltage, ms(0), ms(3599), 400);
        int points = 0;
        double low = 1e9, high = -1e9;
        for (const TrendSegment& s : segments)
            for (const QPointF& p : s) {
                ++points;
                low = std::min(low, p.y());
                high = std::max(high, p.y());
            }
        QVERIFY2(points <= 400, qPrintable(QString::number(points)));
        QCOMPARE(high, 70.0);
        QCOMPARE(low, 10.0);
        QCOMPARE(segments.size(), 2);
        QVERIFY(segments[0].last().x() < ms(3000));
        QVERIFY(segments[1].first().x() >= ms(3060));
    }

    // The value axes' round figures: whole steps of 1, 2 or 5 times a power of ten around the
    // curve, one tick a step; nothing odd for a flat or empty curve.
    void valueAxesOnRoundFigures_data() {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<int>("ticks");
        QTest::newRow("volts") << 44.5 << 53.5 << 40.0 << 55.0 << 4;
        QTest::newRow("volts within the same figures") << 45.1 << 53.2 << 45.0 << 55.0 << 3;
        QTest::newRow("speed held steady") << 1499.5 << 1500.5 << 1499.5 << 1500.5 << 3;
        QTest::newRow("no curve (0 to 1 with its margin)") << -0.08 << 1.08 << -1.0 << 2.0 << 4;
        QTest::newRow("below zero") << -12.0 << -3.0 << -15.0 << 0.0 << 4;
        QTest::newRow("empty range") << 5.0 << 5.0 << 0.0 << 1.0 << 2;
    }
    void valueAxesOnRoundFigures() {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(int, ticks);
        const NiceScale scale = niceScale(low, high, 3);
        QCOMPARE(scale.min, min);
        QCOMPARE(scale.max, max);
        QCOMPARE(scale.ticks, ticks);
    }

    // A chart's axis around its values: a margin that stops at zero when the values do not
    // cross it (no -50 V under readings of 0 to 50 V), and the axis 0 to 1 without values.
    void valueAxesFromWhereTheValuesAre_data() {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<int>("ticks");
        QTest::newRow("0 to 50 V") << 0.0 << 50.0 << 0.0 << 60.0 << 4;
        QTest::newRow("48 to 52 V") << 48.0 << 52.0 << 45.0 << 55.0 << 3;
        QTest::newRow("flat at 0 A") << 0.0 << 0.0 << 0.0 << 1.0 << 3;
        QTest::newRow("flat at 230") << 230.0 << 230.0 << 200.0 << 260.0 << 4;
        QTest::newRow("below zero") << -12.0 << -3.0 << -15.0 << 0.0 << 4;
        QTest::newRow("across zero") << -5.0 << 45.0 << -50.0 << 50.0 << 3;
        QTest::newRow("no values") << double(INFINITY) << double(-INFINITY) << 0.0 << 1.0 << 3;
    }
    void valueAxesFromWhereTheValuesAre() {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(int, ticks);
        const NiceScale scale = valueScale(low, high, 3);
        QCOMPARE(scale.min, min);
        QCOMPARE(scale.max, max);
        QCOMPARE(scale.ticks, ticks);
    }
};

QTEST_GUILESS_MAIN(TestSampleRing)
#include "tst_samplering.moc"

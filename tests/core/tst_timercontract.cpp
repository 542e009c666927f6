// What the link asks of a Timer, held against the shipped QtTimer on the real event loop and
// against the manual timeline's timer that the other tests drive: the same cases, the same
// answers. The real timer runs in real time, so each case keeps a wide margin either side of
// the moment it tells apart.
#include "ManualTimeline.h"
#include "core/Timer.h"

#include <QElapsedTimer>
#include <QTest>

#include <memory>

namespace {

// A timer and the time it runs on: real or manual.
class TimerBench {
public:
    virtual ~TimerBench() = default;
    virtual Timer* create(int periodMs) = 0;
    virtual void pass(int ms) = 0;
    virtual qint64 now() const = 0;

    // Lets time pass in small steps until the first firing, at most limitMs.
    void passUntilFired(int limitMs) {
        for (int passed = 0; firings.isEmpty() && passed < limitMs; passed += 5)
            pass(5);
    }
    // Every firing of timer, stamped with the bench's time.
    void record(Timer* timer) {
        QObject::connect(timer, &Timer::timeout, timer, [this] { firings.append(now()); });
    }
    QList<qint64> firings;
};

class RealTimerBench : public TimerBench {
public:
    RealTimerBench() { clock.start(); }
    Timer* create(int periodMs) override { return factory.create(QStringLiteral("timer"), periodMs, &owner); }
    void pass(int ms) override { QTest::qWait(ms); }
    qint64 now() const override { return clock.elapsed(); }

private:
    QtTimerFactory factory;
    QElapsedTimer clock;
    QObject owner;
};

class ManualTimerBench : public TimerBench {
public:
    Timer* create(int periodMs) override { return timeline.create(QStringLiteral("timer"), periodMs, &owner); }
    void pass(int ms) override { timeline.advance(ms); }
    qint64 now() const override { return timeline.elapsedMs(); }

private:
    ManualTimeline timeline;
    QObject owner; // its timers go before the timeline they run on
};

constexpr int kPeriodMs = 400;

} // namespace

class TestTimerContract : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QFETCH_GLOBAL(QString, timer);
        if (timer == QLatin1String("QtTimer"))
            bench = std::make_unique<RealTimerBench>();
        else
            bench = std::make_unique<ManualTimerBench>();
    }
    void cleanup() { bench.reset(); }

    static void initTestCase_data() {
        QTest::addColumn<QString>("timer");
        QTest::newRow("QtTimer") << QStringLiteral("QtTimer");
        QTest::newRow("ManualTimer") << QStringLiteral("ManualTimer");
    }

    // Switched on again by every data-received event, a running timer keeps its countdown.
    void sameModeKeepsTheCountdown_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("repeating") << int(Timer::Repeating);
        QTest::newRow("single") << int(Timer::Single);
    }
    void sameModeKeepsTheCountdown() {
        QFETCH(int, mode);
        Timer* timer = bench->create(kPeriodMs);
        bench->record(timer);
        const qint64 armed = bench->now();
        timer->setMode(Timer::Mode(mode));
        bench->pass(kPeriodMs / 2);
        const qint64 setAgain = bench->now();
        timer->setMode(Timer::Mode(mode));
        bench->passUntilFired(4 * kPeriodMs);
        QVERIFY(!bench->firings.isEmpty());
        // A countdown started again would have fired a whole period after the second call.
        QVERIFY2(bench->firings.first() < setAgain + kPeriodMs,
                 qPrintable(QStringLiteral("armed at %1 ms, set again at %2 ms, fired at %3 ms")
                                .arg(armed)
                                .arg(setAgain)
                                .arg(bench->firings.first())));
        QCOMPARE(timer->mode(), Timer::Mode(mode == Timer::Single ? Timer::Off : mode));
    }

    // A new period on a running timer starts its countdown again, with that period.
    void newPeriodRestartsTheCountdown() {
        Timer* timer = bench->create(kPeriodMs);
        bench->record(timer);
        timer->setMode(Timer::Repeating);
        bench->pass(kPeriodMs / 2);
        const qint64 changed = bench->now();
        const int newPeriod = kPeriodMs * 3 / 4;
        timer->setPeriod(newPeriod);
        QCOMPARE(timer->period(), newPeriod);
        bench->passUntilFired(4 * kPeriodMs);
        QVERIFY(!bench->firings.isEmpty());
        // The old countdown would have ended half a period after the change.
        QVERIFY2(bench->firings.first() >= changed + newPeriod - 2,
                 qPrintable(QStringLiteral("period set at %1 ms, fired at %2 ms")
                                .arg(changed)
                                .arg(bench->firings.first())));
        QVERIFY(timer->isRunning());
    }

    // A single shot goes off after firing: it fires once, reads Off, and a later Single
    // arms it again.
    void singleShotGoesOffAfterFiring() {
        Timer* timer = bench->create(kPeriodMs / 4);
        bench->record(timer);
        timer->setMode(Timer::Single);
        bench->pass(kPeriodMs);
        QCOMPARE(bench->firings.size(), 1);
        QCOMPARE(timer->mode(), Timer::Off);
        QVERIFY(!timer->isRunning());

        timer->setMode(Timer::Single);
        QVERIFY(timer->isRunning());
        bench->pass(kPeriodMs);
        QCOMPARE(bench->firings.size(), 2);
        QCOMPARE(timer->mode(), Timer::Off);
    }

    // Off stops the countdown: nothing fires afterwards.
    void offStopsTheCountdown() {
        Timer* timer = bench->create(kPeriodMs);
        bench->record(timer);
        timer->setMode(Timer::Repeating);
        bench->pass(kPeriodMs / 8);
        timer->setMode(Timer::Off);
        bench->pass(2 * kPeriodMs);
        QVERIFY(bench->firings.isEmpty());
        QVERIFY(!timer->isRunning());
    }

private:
    std::unique_ptr<TimerBench> bench;
};

QTEST_GUILESS_MAIN(TestTimerContract)
#include "tst_timercontract.moc"

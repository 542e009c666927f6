// How often the window refreshes: at once after a quiet period, then at most once a period.
#include "ManualTimeline.h"
#include "core/RefreshLimiter.h"

#include <QTest>

class TestRefreshLimiter : public QObject {
    Q_OBJECT

private slots:
    void changesAreCollectedWithinAPeriod() {
        ManualTimeline timeline;
        QVector<qint64> refreshes;
        RefreshLimiter limiter(timeline, timeline, [&] { refreshes.append(timeline.elapsedMs()); });

        limiter.request(); // the first change shows at once
        QCOMPARE(refreshes, QVector<qint64>{0});

        // A burst of frames: one refresh at the end of the period shows them all.
        const qint64 period = RefreshLimiter::kPeriodMs;
        for (int ms : {10, 20, 30}) {
            timeline.advance(ms - timeline.elapsedMs());
            limiter.request();
        }
        QVERIFY(limiter.isPending());
        timeline.advance(period - 30 - 1);
        QCOMPARE(refreshes.size(), 1);
        timeline.advance(1);
        QCOMPARE(refreshes, (QVector<qint64>{0, period}));
        QVERIFY(!limiter.isPending());

        // Frames every three fifths of a period keep the refreshes one period apart.
        for (int frame = 0; frame < 6; ++frame) {
            timeline.advance(period * 3 / 5);
            limiter.request();
        }
        timeline.advance(2 * period);
        QCOMPARE(refreshes, (QVector<qint64>{0, period, 2 * period, 3 * period, 4 * period, 5 * period}));

        // After a quiet period a change shows at once again.
        timeline.advance(500);
        limiter.request();
        QCOMPARE(refreshes.last(), timeline.elapsedMs());
        QCOMPARE(refreshes.size(), 7);
    }

    void theUsersActionShowsAtOnce() {
        ManualTimeline timeline;
        int refreshes = 0;
        RefreshLimiter limiter(timeline, timeline, [&] { ++refreshes; });
        limiter.request();
        timeline.advance(5);
        limiter.request(); // collected for a period
        QCOMPARE(refreshes, 1);

        limiter.flush(); // a button pressed: the collected change is shown now
        QCOMPARE(refreshes, 2);
        QVERIFY(!limiter.isPending());
        timeline.advance(2 * RefreshLimiter::kPeriodMs);
        QCOMPARE(refreshes, 2); // nothing left to show

        // A press whose change the request already showed is not shown twice.
        limiter.request();
        QCOMPARE(refreshes, 3);
        limiter.flush();
        QCOMPARE(refreshes, 3);

        limiter.refreshNow(); // unconditional, as when the window opens
        QCOMPARE(refreshes, 4);
    }
};

QTEST_GUILESS_MAIN(TestRefreshLimiter)
#include "tst_refreshlimiter.moc"

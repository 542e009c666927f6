// How often the window refreshes: at once while its budget allows, otherwise as soon as it
// allows one more, never more than one period late.
#include "ManualTimeline.h"
#include "core/RefreshLimiter.h"

#include <QTest>

namespace {

// Requests at the given times; returns the time of every refresh, run past the last request
// until nothing is pending.
QVector<qint64> refreshesFor(const QVector<qint64>& requestTimes) {
    ManualTimeline timeline;
    QVector<qint64> refreshes;
    RefreshLimiter limiter(timeline, timeline, [&] { refreshes.append(timeline.elapsedMs()); });
    for (qint64 at : requestTimes) {
        timeline.advance(at - timeline.elapsedMs());
        limiter.request();
    }
    timeline.advance(2 * RefreshLimiter::kPeriodMs);
    return refreshes;
}

// Every request is shown by a refresh at or after it and at most one period later.
void verifyNoneLate(const QVector<qint64>& requests, const QVector<qint64>& refreshes) {
    for (qint64 at : requests) {
        const auto shown = std::lower_bound(refreshes.begin(), refreshes.end(), at);
        QVERIFY2(shown != refreshes.end(), qPrintable(QStringLiteral("request at %1 never shown").arg(at)));
        QVERIFY2(*shown - at <= RefreshLimiter::kPeriodMs,
                 qPrintable(QStringLiteral("request at %1 shown at %2").arg(at).arg(*shown)));
    }
}

} // namespace

class TestRefreshLimiter : public QObject {
    Q_OBJECT

private slots:
    // The installation's own pace: a converter frame every 200 ms, an HPU frame every 500 ms
    // 30 ms after one of them, the bus health line once a second 33 ms after another. Each
    // change shows at once, in the wake-up that brought it.
    void theInstallationsPaceShowsEveryChangeAtOnce() {
        QVector<qint64> requests;
        for (qint64 second = 0; second < 3000; second += 1000)
            for (qint64 at : {103, 136, 303, 333, 503, 703, 834, 903})
                requests.append(second + at);
        QCOMPARE(refreshesFor(requests), requests);
    }

    // A busy line, a frame every 18 ms for two seconds after a quiet moment: the first two show
    // at once, then one refresh a period, none late.
    void aBusyLineIsRefreshedOncePerPeriod() {
        QVector<qint64> requests;
        for (qint64 at = 1000; at < 3000; at += 18)
            requests.append(at);
        const QVector<qint64> refreshes = refreshesFor(requests);
        QCOMPARE(refreshes.mid(0, 2), (QVector<qint64>{1000, 1018}));
        for (int i = 3; i < refreshes.size(); ++i)
            QCOMPARE(refreshes[i] - refreshes[i - 1], qint64(RefreshLimiter::kPeriodMs));
        QVERIFY(refreshes.size() <= RefreshLimiter::kBurst + 2000 / RefreshLimiter::kPeriodMs + 1);
        verifyNoneLate(requests, refreshes);

        // After a quiet moment a change shows at once again.
        QVector<qint64> later = requests;
        later.append(3500);
        QCOMPARE(refreshesFor(later).last(), qint64(3500));
    }

    void theUsersActionShowsAtOnce() {
        ManualTimeline timeline;
        int refreshes = 0;
        RefreshLimiter limiter(timeline, timeline, [&] { ++refreshes; });
        limiter.request();
        timeline.advance(5);
        limiter.request(); // the budget's second refresh
        timeline.advance(5);
        limiter.request(); // collected: the budget is spent
        QCOMPARE(refreshes, 2);
        QVERIFY(limiter.isPending());

        limiter.flush(); // a button pressed: the collected change is shown now
        QCOMPARE(refreshes, 3);
        QVERIFY(!limiter.isPending());
        timeline.advance(2 * RefreshLimiter::kPeriodMs);
        QCOMPARE(refreshes, 3); // nothing left to show

        // A press whose change the request already showed is not shown twice.
        limiter.request();
        QCOMPARE(refreshes, 4);
        limiter.flush();
        QCOMPARE(refreshes, 4);

        limiter.refreshNow(); // unconditional, as when the window opens
        QCOMPARE(refreshes, 5);
    }
};

QTEST_GUILESS_MAIN(TestRefreshLimiter)
#include "tst_refreshlimiter.moc"

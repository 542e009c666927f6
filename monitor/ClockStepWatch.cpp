#include "monitor/ClockStepWatch.h"

namespace {

QString withOffset(const QDateTime& time) {
    const int offsetMinutes = time.offsetFromUtc() / 60;
    const int magnitude = qAbs(offsetMinutes);
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) +
           (offsetMinutes < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2").arg(magnitude / 60, 2, 10, QLatin1Char('0')).arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString ClockStepWatch::Step::describe() const {
    const qint64 ms = expected.msecsTo(shown);
    const qint64 magnitude = qAbs(ms);
    // Tenths where they matter: a step of 2.5 s is not one of 2 s.
    const QString seconds = magnitude < 10000 ? QString::number(magnitude / 1000.0, 'f', 1)
                                              : QString::number(magnitude / 1000);
    return QStringLiteral("from %1 to %2 (%3 %4 s)")
        .arg(withOffset(expected), withOffset(shown), ms < 0 ? QStringLiteral("back") : QStringLiteral("forward"),
             seconds);
}

std::optional<ClockStepWatch::Step> ClockStepWatch::check(qint64 monotonicMs, const QDateTime& wallNow) {
    std::optional<Step> step;
    if (started_) {
        const QDateTime expected = lastWall_.addMSecs(monotonicMs - lastMonotonicMs_);
        if (qAbs(expected.msecsTo(wallNow)) > kToleranceMs)
            step = Step{expected, wallNow};
    }
    started_ = true;
    lastMonotonicMs_ = monotonicMs;
    lastWall_ = wallNow;
    return step;
}

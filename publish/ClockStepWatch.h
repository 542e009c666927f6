#pragma once

#include "publish/LoggerHealth.h"

// Notices a wall clock that jumps (a board without a real-time clock that gets its time from
// the network, a hand-set date): between two looks, the wall clock should move as the
// monotonic clock does. More than kLimitMs of difference, either way, is a step.
class ClockStepWatch {
public:
    static constexpr qint64 kLimitMs = 2000;

    // The step since the last look, if any. The first look only sets the reference.
    std::optional<LoggerHealth::ClockStep> look(const QDateTime& wall, qint64 monotonicMs) {
        std::optional<LoggerHealth::ClockStep> step;
        if (wall_.isValid()) {
            const QDateTime expected = wall_.addMSecs(monotonicMs - monotonicMs_);
            if (qAbs(expected.msecsTo(wall)) > kLimitMs)
                step = LoggerHealth::ClockStep{expected, wall};
        }
        wall_ = wall;
        monotonicMs_ = monotonicMs;
        return step;
    }

private:
    QDateTime wall_;
    qint64 monotonicMs_ = 0;
};

#include "sim/CapturePlayer.h"

#include "core/ProgramClock.h"
#include "core/Timer.h"

#include <cmath>

namespace Sim {

CapturePlayer::CapturePlayer(TimerFactory& timers, const ProgramClock& clock, QObject* parent)
    : QObject(parent)
    , clock_(clock)
    , timer_(timers.create(QStringLiteral("CapturePlayer"), 1, this)) {
    connect(timer_, &Timer::timeout, this, &CapturePlayer::playDue);
}

bool CapturePlayer::open(const QString& path) {
    stop();
    return reader_.open(path);
}

void CapturePlayer::start(double speed) {
    stop();
    if (!reader_.rewind())
        return;
    speed_ = speed > 0.0 ? speed : 1.0;
    startMs_ = clock_.elapsedMs();
    playing_ = true;
    hasNext_ = false;
    hasOrigin_ = false;
    scheduleNext();
}

void CapturePlayer::stop() {
    playing_ = false;
    hasNext_ = false;
    timer_->setMode(Timer::Off);
}

void CapturePlayer::scheduleNext() {
    while (playing_ && !hasNext_) {
        if (!reader_.next(next_)) {
            stop();
            emit finished();
            return;
        }
        hasNext_ = next_.direction == Capture::Direction::Received;
        if (hasNext_ && !hasOrigin_) {
            // The play starts with the first bytes received, not with the silence before them.
            originUs_ = next_.us;
            hasOrigin_ = true;
        }
    }
    if (!playing_)
        return;
    const qint64 dueMs = startMs_ + qint64(std::floor(double(next_.us - originUs_) / speed_ / 1000.0));
    timer_->setMode(Timer::Off);
    timer_->setPeriod(int(qBound(qint64(0), dueMs - clock_.elapsedMs(), qint64(24 * 3600 * 1000))));
    timer_->setMode(Timer::Single);
}

void CapturePlayer::playDue() {
    const qint64 now = clock_.elapsedMs();
    // Every chunk whose time has come goes now, in one piece per chunk, as the line gave them.
    while (playing_ && hasNext_ &&
           startMs_ + qint64(std::floor(double(next_.us - originUs_) / speed_ / 1000.0)) <= now) {
        hasNext_ = false;
        emit bytesPlayed(next_.bytes);
        scheduleNext();
    }
}

} // namespace Sim

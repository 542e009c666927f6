#pragma once

#include "datalog/CaptureReader.h"

#include <QObject>

class ProgramClock;
class Timer;
class TimerFactory;

namespace Sim {

// Plays the received bytes of a capture again with their original timing divided by a speed,
// on the platform's timers: each chunk is handed over when its time since the first received
// chunk, divided by the speed, has passed since the start of the play. Commands the capture holds are not
// played: they were the tool's own.
class CapturePlayer : public QObject {
    Q_OBJECT
public:
    CapturePlayer(TimerFactory& timers, const ProgramClock& clock, QObject* parent = nullptr);

    // Opens and checks the capture; false with errorString() when it is damaged.
    bool open(const QString& path);
    QString errorString() const { return reader_.errorString(); }
    // Plays from the first chunk; the speed divides the recorded times (2 plays twice as fast).
    void start(double speed);
    void stop();

signals:
    void bytesPlayed(const QByteArray& bytes);
    // The last received chunk has been played.
    void finished();

private:
    void playDue();
    void scheduleNext();

    const ProgramClock& clock_;
    Timer* timer_;
    CaptureReader reader_;
    Capture::Chunk next_;
    bool hasNext_ = false;
    bool playing_ = false;
    double speed_ = 1.0;
    qint64 startMs_ = 0;
    qint64 originUs_ = 0; // capture time of the first received chunk
    bool hasOrigin_ = false;
};

} // namespace Sim

#pragma once

#include "core/Notifier.h"

#include <QObject>

class QSoundEffect;

// The alarm sound "alarm_hydro.wav" of the resource folder, on Qt Multimedia. The file is
// loaded on the first play and kept for the rest of the run. A file that is missing or
// cannot be decoded makes the sound unavailable for good (it is not tried again) and
// leaves the visual alert as the only one.
class AlarmSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    enum class Status { NotLoaded, Loading, Ready, Unavailable };

    explicit AlarmSoundPlayer(const ResourceFolder& folder, QObject* parent = nullptr);
    ~AlarmSoundPlayer() override;

    // Volume 0..100, clamped; pan is always the centre. Returns at once.
    void play(int volume) override;

    Status status() const { return status_; }
    int loadAttempts() const { return loadAttempts_; }
    // The linear volume of the last play request, 0.0..1.0.
    double lastVolume() const { return lastVolume_; }

    static constexpr const char* kFileName = "alarm_hydro.wav";

private:
    void load();
    void statusChanged();
    void giveUp();

    const ResourceFolder& folder_;
    QSoundEffect* effect_ = nullptr;
    Status status_ = Status::NotLoaded;
    int loadAttempts_ = 0;
    double lastVolume_ = 0;
};

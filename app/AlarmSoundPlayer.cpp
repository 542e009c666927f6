#include "app/AlarmSoundPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

#include <algorithm>

AlarmSoundPlayer::AlarmSoundPlayer(const ResourceFolder& folder, QObject* parent)
    : QObject(parent)
    , folder_(folder) {}

AlarmSoundPlayer::~AlarmSoundPlayer() = default;

void AlarmSoundPlayer::play(int volume) {
    lastVolume_ = std::clamp(volume, 0, 100) / 100.0;
    if (status_ == Status::NotLoaded)
        load();
    if (status_ == Status::Unavailable)
        return;
    // The volume applies to this play only; a play requested while the file is still
    // being decoded starts as soon as it is ready.
    effect_->setVolume(lastVolume_);
    effect_->play();
}

void AlarmSoundPlayer::load() {
    ++loadAttempts_;
    const QString file = folder_.filePath(QString::fromLatin1(kFileName));
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        giveUp();
        return;
    }
    effect_ = new QSoundEffect(this);
    connect(effect_, &QSoundEffect::statusChanged, this, &AlarmSoundPlayer::statusChanged);
    status_ = Status::Loading;
    effect_->setSource(QUrl::fromLocalFile(file));
    statusChanged(); // the effect may have decided already
}

void AlarmSoundPlayer::statusChanged() {
    if (!effect_)
        return;
    switch (effect_->status()) {
    case QSoundEffect::Ready:
        status_ = Status::Ready;
        break;
    case QSoundEffect::Error:
        giveUp();
        break;
    default:
        break;
    }
}

void AlarmSoundPlayer::giveUp() {
    status_ = Status::Unavailable;
    if (effect_) {
        effect_->disconnect(this);
        effect_->deleteLater();
        effect_ = nullptr;
    }
}

#include "sim/ReplayDevice.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace ReplayDevice {

QString name(const QString& capturePath) {
    return QStringLiteral("Replay: %1").arg(QFileInfo(capturePath).fileName());
}

SerialDevice device(const QString& capturePath) {
    // No system device has a location of this form.
    return {name(capturePath), QStringLiteral("velmora-replay:") + QFileInfo(capturePath).absoluteFilePath()};
}

} // namespace ReplayDevice

ReplaySerialPort::ReplaySerialPort(TimerFactory& timers, const ProgramClock& clock, Notifier& notifier,
                                   QString capturePath, double speed, QObject* parent)
    : SerialPort(parent)
    , player_(timers, clock, this)
    , notifier_(notifier)
    , path_(std::move(capturePath))
    , speed_(speed) {
    connect(&player_, &Sim::CapturePlayer::bytesPlayed, this, &ReplaySerialPort::arrive);
}

QString ReplaySerialPort::damagedMessage(const QString& capturePath, const QString& reason) {
    return QCoreApplication::translate("ReplaySerialPort", "The capture %1 cannot be replayed: %2")
        .arg(capturePath, reason);
}

bool ReplaySerialPort::open(const SerialDevice&) {
    close();
    // Read again at each connection: the file may have changed since the tool started.
    if (!player_.open(path_)) {
        notifier_.showMessage(damagedMessage(path_, player_.errorString()));
        return false;
    }
    open_ = true;
    player_.start(speed_);
    return true;
}

void ReplaySerialPort::close() {
    open_ = false;
    player_.stop();
    incoming_.clear();
}

QByteArray ReplaySerialPort::read(qint64 n) {
    const QByteArray taken = incoming_.left(int(qMin<qint64>(n, incoming_.size())));
    incoming_.remove(0, taken.size());
    return taken;
}

void ReplaySerialPort::arrive(const QByteArray& bytes) {
    if (!open_)
        return;
    incoming_.append(bytes);
    emit dataReceived();
}

ReplayPlatform::ReplayPlatform(const Platform& base, const QString& capturePath, double speed)
    : base_(base)
    , replay_(base.timers, base.clock, base.notifier, capturePath, speed)
    , port_(base.port, replay_, nullptr, ReplayDevice::device(capturePath).location)
    , devices_(base.devices, ReplayDevice::device(capturePath)) {}

Platform ReplayPlatform::platform() {
    return Platform{base_.clock, base_.wallClock, base_.timers,     port_, devices_, base_.notifier,
                    base_.sound, base_.resources, base_.userFolders};
}

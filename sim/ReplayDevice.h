#pragma once

#include "core/Notifier.h"
#include "core/Platform.h"
#include "sim/CapturePlayer.h"
#include "sim/DemoDevice.h"

// A capture played back as a device: "Replay: <file name>" at the end of the device list.
// Connecting plays the received bytes through the real link with the recorded timing divided
// by the speed; commands written meanwhile are accepted and go nowhere (the link traces them
// as sent). When the capture ends the line goes quiet, as a line whose devices stopped.
namespace ReplayDevice {

QString name(const QString& capturePath); // "Replay: bus.txt"
SerialDevice device(const QString& capturePath);

} // namespace ReplayDevice

class ReplaySerialPort : public SerialPort {
    Q_OBJECT
public:
    // A damaged capture found at connection is told through the notifier, with its reason.
    ReplaySerialPort(TimerFactory& timers, const ProgramClock& clock, Notifier& notifier, QString capturePath,
                     double speed, QObject* parent = nullptr);

    bool open(const SerialDevice& device) override;
    void close() override;
    bool isOpen() const override { return open_; }
    qint64 bytesAvailable() const override { return incoming_.size(); }
    QByteArray peekAll() const override { return incoming_; }
    QByteArray read(qint64 n) override;
    qint64 write(const QByteArray& bytes) override { return open_ ? bytes.size() : -1; }

    Sim::CapturePlayer& player() { return player_; }

    static QString damagedMessage(const QString& capturePath, const QString& reason);

private:
    void arrive(const QByteArray& bytes);

    Sim::CapturePlayer player_;
    Notifier& notifier_;
    QString path_;
    double speed_;
    QByteArray incoming_;
    bool open_ = false;
};

// What --replay adds to a platform, as DemoPlatform does for --demo: the replay at the end of
// the device list and the port that serves it, on the platform's own clock and timers.
class ReplayPlatform {
public:
    ReplayPlatform(const Platform& base, const QString& capturePath, double speed);
    Platform platform();

private:
    Platform base_;
    ReplaySerialPort replay_;
    DemoRoutingSerialPort port_;
    DemoDeviceList devices_;
};

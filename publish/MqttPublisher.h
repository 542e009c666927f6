#pragma once

#include "core/SecondSample.h"
#include "publish/LoggerHealth.h"
#include "publish/MqttTransport.h"
#include "publish/PendingMessages.h"
#include "publish/PublishedMessages.h"

#include <QObject>

#include <optional>

// Publishes an installation through a transport: its state, retained, every stateInterval
// seconds; its health; "online" and the Home Assistant discovery configurations after every
// connection to the broker (a restarted broker without persistence has forgotten them) and
// whenever Home Assistant says it has started; "offline" when stopped, and as the last will.
// While the broker is away only the newest message of each topic waits.
class MqttPublisher : public QObject {
    Q_OBJECT
public:
    MqttPublisher(MqttTransport& transport, PublishedMessages messages, QObject* parent = nullptr);

    const PublishedMessages& messages() const { return messages_; }
    // Starts publishing; the reason when the transport cannot be set up.
    QString start(MqttConnection connection);
    // Starts a run that only removes the discovery configurations: discoveryRemoved() once the
    // broker has them.
    QString startRemoval(MqttConnection connection);
    // Each second's sample; energyKwh is the total produced, empty while not known.
    void publishSample(const SecondSample& sample, std::optional<double> energyKwh = std::nullopt);
    void publishHealth(const LoggerHealth& health);
    // "offline", then a clean disconnection; waits at most timeoutMs.
    void stop(int timeoutMs = 2000);

    bool isConnected() const { return connected_; }
    int pending() const { return pending_.size(); }

signals:
    void connected();
    // Told once per cause: the same reason again (each retry) is not repeated.
    void connectionFailed(const QString& reason, bool refused);
    void setupFailed(const QString& reason);
    // States that were replaced by a newer one while the broker was away, told on reconnection.
    void statesDropped(quint64 count);
    void discoveryRemoved();

private:
    void onConnected();
    void onConnectionFailed(const QString& reason, bool refused);
    void onMessage(const QString& topic, const QByteArray& payload);
    void announce();
    void put(const MqttMessage& message);
    void flush();

    MqttTransport& transport_;
    PublishedMessages messages_;
    PendingMessages pending_;
    std::optional<MqttMessage> lastState_;
    std::optional<MqttMessage> lastHealth_;
    quint64 samples_ = 0;
    quint64 statesDropped_ = 0;
    bool connected_ = false;
    bool started_ = false;
    bool removing_ = false;
    bool removalTold_ = false;
    QString lastFailure_;
};

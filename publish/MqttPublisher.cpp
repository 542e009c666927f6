#include "publish/MqttPublisher.h"

namespace {
const QByteArray kHomeAssistantOnline = "online";
}

MqttPublisher::MqttPublisher(MqttTransport& transport, PublishedMessages messages, QObject* parent)
    : QObject(parent)
    , transport_(transport)
    , messages_(std::move(messages)) {
    connect(&transport_, &MqttTransport::connected, this, &MqttPublisher::onConnected);
    connect(&transport_, &MqttTransport::connectionFailed, this, &MqttPublisher::onConnectionFailed);
    connect(&transport_, &MqttTransport::setupFailed, this, &MqttPublisher::setupFailed);
    connect(&transport_, &MqttTransport::messageReceived, this, &MqttPublisher::onMessage);
}

QString MqttPublisher::start(MqttConnection connection) {
    connection.will = messages_.offline();
    if (messages_.names().discovery)
        connection.subscriptions = QStringList{messages_.birthTopic()};
    const QString problem = transport_.start(connection);
    started_ = problem.isEmpty();
    return problem;
}

QString MqttPublisher::startRemoval(MqttConnection connection) {
    // No last will and no "offline": the logger of the installation may be running elsewhere.
    removing_ = true;
    connection.will = MqttMessage{};
    const QString problem = transport_.start(connection);
    started_ = problem.isEmpty();
    return problem;
}

void MqttPublisher::publishSample(const SecondSample& sample, std::optional<double> energyKwh) {
    if (removing_)
        return;
    // The first second at once, then one in stateInterval.
    if (samples_++ % quint64(messages_.names().stateIntervalSeconds) != 0)
        return;
    lastState_ = messages_.state(sample, energyKwh);
    if (pending_.put(*lastState_))
        ++statesDropped_;
    if (connected_)
        flush();
}

void MqttPublisher::publishHealth(const LoggerHealth& health) {
    if (removing_)
        return;
    lastHealth_ = messages_.health(health);
    put(*lastHealth_);
}

void MqttPublisher::stop(int timeoutMs) {
    if (!started_)
        return;
    started_ = false;
    connected_ = false;
    // A removal says goodbye with its last removal again, acknowledged once all before it are.
    transport_.stop(removing_ ? messages_.discoveryRemoval().last() : messages_.offline(), timeoutMs);
}

void MqttPublisher::onConnected() {
    connected_ = true;
    lastFailure_.clear();
    if (removing_) {
        for (const MqttMessage& removal : messages_.discoveryRemoval())
            pending_.put(removal);
        flush();
        return;
    }
    announce();
    emit connected();
    if (statesDropped_) {
        emit statesDropped(statesDropped_);
        statesDropped_ = 0;
    }
}

// Availability first, then the configurations, then what waited: the newest state and health.
void MqttPublisher::announce() {
    if (!transport_.publish(messages_.online()))
        pending_.put(messages_.online());
    if (messages_.names().discovery)
        for (const MqttMessage& config : messages_.discovery())
            if (!transport_.publish(config))
                pending_.put(config);
    flush();
}

void MqttPublisher::onConnectionFailed(const QString& reason, bool refused) {
    connected_ = false;
    if (reason == lastFailure_)
        return;
    lastFailure_ = reason;
    emit connectionFailed(reason, refused);
}

void MqttPublisher::onMessage(const QString& topic, const QByteArray& payload) {
    // Home Assistant has started (or its MQTT integration was reloaded): it may have lost what it
    // knew, so it is told again, as at a connection.
    if (!connected_ || removing_ || !messages_.names().discovery || topic != messages_.birthTopic() ||
        payload != kHomeAssistantOnline)
        return;
    announce();
    if (lastState_)
        put(*lastState_);
    if (lastHealth_)
        put(*lastHealth_);
}

void MqttPublisher::put(const MqttMessage& message) {
    pending_.put(message);
    if (connected_)
        flush();
}

void MqttPublisher::flush() {
    while (!pending_.isEmpty() && transport_.publish(pending_.front()))
        pending_.pop();
    if (removing_ && pending_.isEmpty() && !removalTold_) {
        removalTold_ = true;
        emit discoveryRemoved();
    }
}

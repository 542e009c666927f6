#include "publish/MqttPublisher.h"

MqttPublisher::MqttPublisher(MqttTransport& transport, PublishedMessages messages, int queueCapacity,
                             QObject* parent)
    : QObject(parent)
    , transport_(transport)
    , messages_(std::move(messages))
    , queue_(queueCapacity) {
    connect(&transport_, &MqttTransport::connected, this, &MqttPublisher::onConnected);
    connect(&transport_, &MqttTransport::connectionFailed, this, &MqttPublisher::onConnectionFailed);
}

void MqttPublisher::start(MqttConnection connection) {
    connection.will = messages_.offline();
    started_ = true;
    transport_.start(connection);
}

void MqttPublisher::publishSample(const SecondSample& sample) {
    queue_.push(messages_.state(sample));
    if (connected_)
        flush();
}

void MqttPublisher::stop(int timeoutMs) {
    if (!started_)
        return;
    started_ = false;
    connected_ = false;
    transport_.stop(messages_.offline(), timeoutMs);
}

void MqttPublisher::onConnected() {
    connected_ = true;
    lastFailure_.clear();
    // Availability first, then the configurations, then the seconds that waited.
    transport_.publish(messages_.online());
    for (const MqttMessage& config : messages_.discovery())
        transport_.publish(config);
    flush();
    emit connected();
    if (const quint64 dropped = queue_.takeDropped())
        emit statesDropped(dropped);
}

void MqttPublisher::onConnectionFailed(const QString& reason, bool refused) {
    connected_ = false;
    if (reason == lastFailure_)
        return;
    lastFailure_ = reason;
    emit connectionFailed(reason, refused);
}

void MqttPublisher::flush() {
    while (!queue_.isEmpty() && transport_.publish(queue_.front()))
        queue_.pop();
}

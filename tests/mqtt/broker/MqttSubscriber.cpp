#include "MqttSubscriber.h"

#include <mosquitto.h>

MqttSubscriber::MqttSubscriber() {
    mosquitto_lib_init();
}

MqttSubscriber::~MqttSubscriber() {
    disconnect();
}

bool MqttSubscriber::connectTo(int port, const QStringList& topics, QString* error) {
    disconnect();
    mosq_ = mosquitto_new(nullptr, true, this);
    mosquitto_message_callback_set(mosq_, &MqttSubscriber::onMessage);
    int rc = mosquitto_connect(mosq_, "127.0.0.1", port, 30);
    for (const QString& topic : topics)
        if (rc == MOSQ_ERR_SUCCESS)
            rc = mosquitto_subscribe(mosq_, nullptr, topic.toUtf8().constData(), 1);
    if (rc == MOSQ_ERR_SUCCESS)
        rc = mosquitto_loop_start(mosq_);
    if (rc != MOSQ_ERR_SUCCESS) {
        if (error)
            *error = QString::fromUtf8(mosquitto_strerror(rc));
        mosquitto_destroy(mosq_);
        mosq_ = nullptr;
        return false;
    }
    return true;
}

void MqttSubscriber::disconnect() {
    if (!mosq_)
        return;
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, true);
    mosquitto_destroy(mosq_);
    mosq_ = nullptr;
}

bool MqttSubscriber::publish(const QString& topic, const QByteArray& payload, bool retain) {
    return mosq_ && mosquitto_publish(mosq_, nullptr, topic.toUtf8().constData(), int(payload.size()),
                                      payload.constData(), 1, retain) == MOSQ_ERR_SUCCESS;
}

void MqttSubscriber::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* s = static_cast<MqttSubscriber*>(self);
    std::lock_guard<std::mutex> lock(s->mutex_);
    s->received_.push_back({QString::fromUtf8(message->topic),
                            QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
                            message->retain});
}

std::vector<MqttSubscriber::Received> MqttSubscriber::messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

int MqttSubscriber::count(const QString& topic) const {
    std::lock_guard<std::mutex> lock(mutex_);
    int n = 0;
    for (const Received& r : received_)
        n += r.topic == topic ? 1 : 0;
    return n;
}

QByteArray MqttSubscriber::last(const QString& topic) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = received_.rbegin(); it != received_.rend(); ++it)
        if (it->topic == topic)
            return it->payload;
    return QByteArray();
}

bool MqttSubscriber::lastRetained(const QString& topic) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = received_.rbegin(); it != received_.rend(); ++it)
        if (it->topic == topic)
            return it->retained;
    return false;
}

void MqttSubscriber::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
}

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <mutex>
#include <vector>

struct mosquitto;

// A client that listens on a broker as Home Assistant would, for tests: it subscribes to the
// topics given and keeps every message it receives (retained ones included) with its flag. It
// can also say what Home Assistant says.
class MqttSubscriber {
public:
    struct Received {
        QString topic;
        QByteArray payload;
        bool retained;
    };

    MqttSubscriber();
    ~MqttSubscriber();

    // Connects to 127.0.0.1:port and subscribes; false (with the reason) when it cannot.
    bool connectTo(int port, const QStringList& topics, QString* error);
    void disconnect();
    // Publishes as Home Assistant does its birth message ("online" on homeassistant/status).
    bool publish(const QString& topic, const QByteArray& payload, bool retain = false);

    std::vector<Received> messages() const;
    int count(const QString& topic) const;
    // The payload last received on topic, empty when none.
    QByteArray last(const QString& topic) const;
    bool lastRetained(const QString& topic) const;
    void clear();

private:
    static void onMessage(mosquitto*, void* self, const struct mosquitto_message* message);

    mosquitto* mosq_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Received> received_;
};

#pragma once

#include "publish/MqttTransport.h"

#include <QVector>

// A transport the test connects and disconnects by hand; it records what it was given.
class FakeMqttTransport : public MqttTransport {
    Q_OBJECT
public:
    QString start(const MqttConnection& c) override {
        ++starts;
        connection = c;
        return setupProblem;
    }
    bool publish(const MqttMessage& message) override {
        if (!isConnected || room == 0)
            return false;
        if (room > 0)
            --room;
        sent.append(message);
        return true;
    }
    void stop(const MqttMessage& farewell, int timeoutMs) override {
        stopped = true;
        stopTimeoutMs = timeoutMs;
        if (isConnected)
            sent.append(farewell);
        isConnected = false;
    }

    void brokerAccepts() {
        isConnected = true;
        emit connected();
    }
    void brokerLost(const QString& reason, bool refused = false) {
        isConnected = false;
        emit connectionFailed(reason, refused);
    }
    void brokerSends(const QString& topic, const QByteArray& payload) {
        emit messageReceived(topic, payload);
    }
    QVector<MqttMessage> sentOn(const QString& topic) const {
        QVector<MqttMessage> result;
        for (const MqttMessage& m : sent)
            if (m.topic == topic)
                result.append(m);
        return result;
    }

    int starts = 0;
    QString setupProblem; // what start() answers
    MqttConnection connection;
    QVector<MqttMessage> sent;
    bool isConnected = false;
    int room = -1; // messages it takes before it says no; -1 for no limit
    bool stopped = false;
    int stopTimeoutMs = 0;
};

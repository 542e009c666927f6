#pragma once

#include <QByteArray>
#include <QString>

// One message for the broker.
struct MqttMessage {
    QString topic;
    QByteArray payload;
    bool retain = false;
    int qos = 0;

    bool operator==(const MqttMessage& other) const {
        return topic == other.topic && payload == other.payload && retain == other.retain && qos == other.qos;
    }
};

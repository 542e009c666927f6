#pragma once

#include "core/SecondSample.h"
#include "publish/MqttMessage.h"

#include <QString>
#include <QVector>

// The messages of one installation, named by its id:
// - velmora/<id>/state: retained JSON of the last second, the values as the CSV line has
//   them, null where not known;
// - velmora/<id>/status: retained "online" / "offline" (the broker's last will is "offline");
// - homeassistant/<component>/<id>/<key>/config: retained Home Assistant discovery
//   configurations, one per published value, all tied to one device.
class PublishedMessages {
public:
    explicit PublishedMessages(QString id);

    const QString& id() const { return id_; }
    QString stateTopic() const;
    QString statusTopic() const;

    MqttMessage state(const SecondSample& sample) const;
    MqttMessage online() const;
    MqttMessage offline() const; // also the last will
    QVector<MqttMessage> discovery() const;

private:
    QString id_;
};

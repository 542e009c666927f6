#pragma once

#include "core/SecondSample.h"
#include "publish/LoggerHealth.h"
#include "publish/MqttMessage.h"

#include <QString>
#include <QVector>

#include <optional>

// How an installation is named on the broker, from the logger's options.
struct PublishingNames {
    explicit PublishingNames(QString installationId = QString())
        : id(std::move(installationId)) {}

    QString id;        // the installation's topic level
    QString stableKey; // unique ids and discovery topics; empty: the id
    QString topicRoot = QStringLiteral("velmora");
    QString discoveryPrefix = QStringLiteral("homeassistant");
    bool discovery = true;
    int stateIntervalSeconds = 1;
};

// The messages of one installation:
// - <root>/<id>/state: retained JSON of the last second, the values as the CSV line has them,
//   null where not known, and the energy produced;
// - <root>/<id>/health: retained JSON of the logger's own health, every kHealthPeriodSeconds;
// - <root>/<id>/status: retained "online" / "offline" (the broker's last will is "offline");
// - <prefix>/<component>/<key>/<value>/config: retained Home Assistant discovery, one per
//   entity, all tied to one device; the health figures as diagnostic entities.
class PublishedMessages {
public:
    static constexpr int kHealthPeriodSeconds = 10;

    explicit PublishedMessages(QString id);
    explicit PublishedMessages(PublishingNames names);

    const QString& id() const { return names_.id; }
    const PublishingNames& names() const { return names_; }
    QString stateTopic() const;
    QString statusTopic() const;
    QString healthTopic() const;
    // Where Home Assistant says "online" when it starts: discovery is due again.
    QString birthTopic() const;

    // energyKwh: the total produced, empty while not known.
    MqttMessage state(const SecondSample& sample, std::optional<double> energyKwh = std::nullopt) const;
    MqttMessage health(const LoggerHealth& health) const;
    MqttMessage online() const;
    MqttMessage offline() const; // also the last will
    QVector<MqttMessage> discovery() const;
    // Empty retained payloads on every configuration topic this version uses, and on those of
    // the installation's topic id where older versions put them: Home Assistant forgets them.
    QVector<MqttMessage> discoveryRemoval() const;

private:
    QVector<MqttMessage> configs(const QString& node) const;
    PublishingNames names_;
};

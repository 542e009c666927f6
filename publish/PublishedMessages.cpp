#include "publish/PublishedMessages.h"

#include "core/Version.h"
#include "publish/PublishedValues.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kTopicRoot = QStringLiteral("velmora");
const QString kDiscoveryPrefix = QStringLiteral("homeassistant");
const QByteArray kOnline = "online";
const QByteArray kOffline = "offline";

} // namespace

PublishedMessages::PublishedMessages(QString id)
    : id_(std::move(id)) {}

QString PublishedMessages::stateTopic() const {
    return kTopicRoot + QLatin1Char('/') + id_ + QStringLiteral("/state");
}

QString PublishedMessages::statusTopic() const {
    return kTopicRoot + QLatin1Char('/') + id_ + QStringLiteral("/status");
}

MqttMessage PublishedMessages::state(const SecondSample& sample) const {
    QJsonObject json;
    json.insert(QStringLiteral("time"),
                sample.time.toOffsetFromUtc(sample.time.offsetFromUtc()).toString(Qt::ISODate));
    for (const PublishedValue& value : publishedValues())
        json.insert(QLatin1String(value.key), value.read(sample));
    json.insert(QStringLiteral("hpu_present"), sample.hpuPresent);
    return {stateTopic(), QJsonDocument(json).toJson(QJsonDocument::Compact), true, 0};
}

MqttMessage PublishedMessages::online() const {
    return {statusTopic(), kOnline, true, 1};
}

MqttMessage PublishedMessages::offline() const {
    return {statusTopic(), kOffline, true, 1};
}

QVector<MqttMessage> PublishedMessages::discovery() const {
    const QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{QStringLiteral("velmora_") + id_}},
        {QStringLiteral("name"), QStringLiteral("Hydro installation ") + id_},
        {QStringLiteral("manufacturer"), QStringLiteral("Orvane")},
        {QStringLiteral("model"), QStringLiteral("Converter and HPU")},
        {QStringLiteral("sw_version"), QStringLiteral("Velmora ") + velmoraVersion()},
    };
    QVector<MqttMessage> messages;
    for (const PublishedValue& value : publishedValues()) {
        const bool binary = value.component == PublishedValue::Component::BinarySensor;
        const QString key = QLatin1String(value.key);
        QJsonObject config{
            {QStringLiteral("name"), QString::fromUtf8(value.name)},
            {QStringLiteral("unique_id"), QStringLiteral("velmora_%1_%2").arg(id_, key)},
            {QStringLiteral("object_id"), QStringLiteral("velmora_%1_%2").arg(id_, key)},
            {QStringLiteral("state_topic"), stateTopic()},
            {QStringLiteral("availability_topic"), statusTopic()},
            {QStringLiteral("payload_available"), QString::fromLatin1(kOnline)},
            {QStringLiteral("payload_not_available"), QString::fromLatin1(kOffline)},
            {QStringLiteral("device"), device},
        };
        if (binary) {
            config.insert(QStringLiteral("value_template"),
                          QStringLiteral("{{ 'ON' if value_json.%1 else 'OFF' }}").arg(key));
            config.insert(QStringLiteral("payload_on"), QStringLiteral("ON"));
            config.insert(QStringLiteral("payload_off"), QStringLiteral("OFF"));
        } else {
            // A null value renders as "None", which Home Assistant shows as unknown.
            config.insert(QStringLiteral("value_template"), QStringLiteral("{{ value_json.%1 }}").arg(key));
        }
        if (*value.unit) {
            config.insert(QStringLiteral("unit_of_measurement"), QString::fromUtf8(value.unit));
            config.insert(QStringLiteral("state_class"), QStringLiteral("measurement"));
        }
        if (*value.deviceClass)
            config.insert(QStringLiteral("device_class"), QString::fromUtf8(value.deviceClass));
        if (*value.icon)
            config.insert(QStringLiteral("icon"), QString::fromUtf8(value.icon));
        const QString component = binary ? QStringLiteral("binary_sensor") : QStringLiteral("sensor");
        messages.append({QStringLiteral("%1/%2/%3/%4/config").arg(kDiscoveryPrefix, component, id_, key),
                         QJsonDocument(config).toJson(QJsonDocument::Compact), true, 1});
    }
    return messages;
}

#include "publish/PublishedMessages.h"

#include "core/Version.h"
#include "publish/PublishedValues.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

const QByteArray kOnline = "online";
const QByteArray kOffline = "offline";

// Enough decimals that a 100 W turbine moves the total every minute (1.7 Wh).
constexpr int kEnergyDecimals = 4;

enum class Component { Sensor, BinarySensor };
enum class Source { State, Health };

// One Home Assistant entity: where its value is read, and how it is announced.
struct Entity {
    QString key;
    QString name;
    Component component = Component::Sensor;
    Source source = Source::State;
    QString valueTemplate;
    QString unit;
    QString deviceClass;
    QString stateClass;
    QString icon;
    int displayPrecision = -1; // -1: Home Assistant's own
    bool diagnostic = false;
};

QString numberTemplate(const QString& key) {
    // A null value renders as "None", which Home Assistant shows as unknown.
    return QStringLiteral("{{ value_json.%1 }}").arg(key);
}

QVector<Entity> entities() {
    QVector<Entity> list;
    for (const PublishedValue& value : publishedValues()) {
        Entity e;
        e.key = QLatin1String(value.key);
        e.name = QString::fromUtf8(value.name);
        e.unit = QString::fromUtf8(value.unit);
        e.deviceClass = QString::fromUtf8(value.deviceClass);
        e.icon = QString::fromUtf8(value.icon);
        if (value.component == PublishedValue::Component::BinarySensor) {
            e.component = Component::BinarySensor;
            e.valueTemplate = QStringLiteral("{{ 'ON' if value_json.%1 else 'OFF' }}").arg(e.key);
        } else {
            e.valueTemplate = numberTemplate(e.key);
            if (!e.unit.isEmpty())
                e.stateClass = QStringLiteral("measurement");
        }
        list.append(e);
    }
    Entity energy;
    energy.key = QStringLiteral("energy");
    energy.name = QStringLiteral("Energy produced");
    energy.valueTemplate = numberTemplate(energy.key);
    energy.unit = QStringLiteral("kWh");
    energy.deviceClass = QStringLiteral("energy");
    energy.stateClass = QStringLiteral("total_increasing");
    energy.displayPrecision = 3;
    list.append(energy);

    const auto diagnostic = [](const QString& key, const QString& name, const QString& unit,
                               const QString& deviceClass, const QString& stateClass) {
        Entity e;
        e.key = key;
        e.name = name;
        e.source = Source::Health;
        e.valueTemplate = numberTemplate(key);
        e.unit = unit;
        e.deviceClass = deviceClass;
        e.stateClass = stateClass;
        e.diagnostic = true;
        return e;
    };
    list.append(diagnostic(QStringLiteral("converter_frames_per_second"),
                           QStringLiteral("Converter frames per second"), QStringLiteral("frames/s"),
                           QString(), QStringLiteral("measurement")));
    list.append(diagnostic(QStringLiteral("checksum_errors"), QStringLiteral("Checksum errors"), QString(),
                           QString(), QStringLiteral("total_increasing")));
    list.append(diagnostic(QStringLiteral("converter_silent_seconds"), QStringLiteral("Converter last heard"),
                           QStringLiteral("s"), QStringLiteral("duration"), QStringLiteral("measurement")));
    list.append(diagnostic(QStringLiteral("hpu_silent_seconds"), QStringLiteral("HPU last heard"),
                           QStringLiteral("s"), QStringLiteral("duration"), QStringLiteral("measurement")));
    list.append(diagnostic(QStringLiteral("clock_step_seconds"), QStringLiteral("Last clock step"),
                           QStringLiteral("s"), QStringLiteral("duration"), QString()));
    Entity log = diagnostic(QStringLiteral("log_writing"), QStringLiteral("Log writing"), QString(),
                            QStringLiteral("problem"), QString());
    log.component = Component::BinarySensor;
    log.valueTemplate = QStringLiteral("{{ 'ON' if not value_json.log_writing else 'OFF' }}");
    list.append(log);
    Entity adapter = diagnostic(QStringLiteral("adapter_connected"), QStringLiteral("Adapter"), QString(),
                                QStringLiteral("connectivity"), QString());
    adapter.component = Component::BinarySensor;
    adapter.valueTemplate = QStringLiteral("{{ 'ON' if value_json.adapter_connected else 'OFF' }}");
    list.append(adapter);
    return list;
}

// A value that stops coming is shown as unavailable, not as current: after three periods,
// and never sooner than 15 s, so that a slow second of the SD card does not flicker.
int expireAfter(int periodSeconds) {
    return qMax(15, 3 * periodSeconds + 5);
}

QJsonValue optionalSeconds(const std::optional<qint64>& seconds) {
    return seconds ? QJsonValue(double(*seconds)) : QJsonValue(QJsonValue::Null);
}

} // namespace

PublishedMessages::PublishedMessages(QString id)
    : PublishedMessages(PublishingNames{std::move(id)}) {}

PublishedMessages::PublishedMessages(PublishingNames names)
    : names_(std::move(names)) {
    if (names_.stableKey.isEmpty())
        names_.stableKey = names_.id;
    names_.stateIntervalSeconds = qMax(1, names_.stateIntervalSeconds);
}

QString PublishedMessages::stateTopic() const {
    return names_.topicRoot + QLatin1Char('/') + names_.id + QStringLiteral("/state");
}

QString PublishedMessages::statusTopic() const {
    return names_.topicRoot + QLatin1Char('/') + names_.id + QStringLiteral("/status");
}

QString PublishedMessages::healthTopic() const {
    return names_.topicRoot + QLatin1Char('/') + names_.id + QStringLiteral("/health");
}

QString PublishedMessages::birthTopic() const {
    return names_.discoveryPrefix + QStringLiteral("/status");
}

MqttMessage PublishedMessages::state(const SecondSample& sample, std::optional<double> energyKwh) const {
    QJsonObject json;
    json.insert(QStringLiteral("time"),
                sample.time.toOffsetFromUtc(sample.time.offsetFromUtc()).toString(Qt::ISODate));
    for (const PublishedValue& value : publishedValues())
        json.insert(QLatin1String(value.key), value.read(sample));
    json.insert(QStringLiteral("hpu_present"), sample.hpuPresent);
    if (energyKwh && std::isfinite(*energyKwh)) {
        const double scale = std::pow(10.0, kEnergyDecimals);
        json.insert(QStringLiteral("energy"), std::round(*energyKwh * scale) / scale);
    } else {
        json.insert(QStringLiteral("energy"), QJsonValue(QJsonValue::Null));
    }
    return {stateTopic(), QJsonDocument(json).toJson(QJsonDocument::Compact), true, 0};
}

MqttMessage PublishedMessages::health(const LoggerHealth& h) const {
    QJsonObject json;
    json.insert(QStringLiteral("time"), h.time.toOffsetFromUtc(h.time.offsetFromUtc()).toString(Qt::ISODate));
    json.insert(QStringLiteral("log_writing"), h.logWriting);
    json.insert(QStringLiteral("log_problem"),
                h.logProblem.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(h.logProblem));
    json.insert(QStringLiteral("adapter_connected"), h.adapterConnected);
    // Frames and errors are only counted while the adapter is open.
    json.insert(QStringLiteral("converter_frames_per_second"),
                h.adapterConnected ? QJsonValue(std::round(h.converterFramesPerSecond * 10.0) / 10.0)
                                   : QJsonValue(QJsonValue::Null));
    json.insert(QStringLiteral("checksum_errors"),
                h.adapterConnected ? QJsonValue(double(h.checksumErrors)) : QJsonValue(QJsonValue::Null));
    json.insert(QStringLiteral("converter_silent_seconds"), optionalSeconds(h.converterSilentSeconds));
    json.insert(QStringLiteral("hpu_silent_seconds"), optionalSeconds(h.hpuSilentSeconds));
    if (h.lastClockStep) {
        json.insert(QStringLiteral("clock_step_seconds"), double(h.lastClockStep->seconds()));
        json.insert(QStringLiteral("clock_step"),
                    QJsonObject{{QStringLiteral("from"), h.lastClockStep->from.toString(Qt::ISODateWithMs)},
                                {QStringLiteral("to"), h.lastClockStep->to.toString(Qt::ISODateWithMs)}});
    } else {
        json.insert(QStringLiteral("clock_step_seconds"), QJsonValue(QJsonValue::Null));
        json.insert(QStringLiteral("clock_step"), QJsonValue(QJsonValue::Null));
    }
    return {healthTopic(), QJsonDocument(json).toJson(QJsonDocument::Compact), true, 0};
}

MqttMessage PublishedMessages::online() const {
    return {statusTopic(), kOnline, true, 1};
}

MqttMessage PublishedMessages::offline() const {
    return {statusTopic(), kOffline, true, 1};
}

QVector<MqttMessage> PublishedMessages::discovery() const {
    QVector<MqttMessage> messages;
    // Configurations that older versions published under the topic id give way first, so that
    // their entities are not shown twice.
    if (names_.id != names_.stableKey)
        for (MqttMessage old : configs(names_.id)) {
            old.payload.clear();
            messages.append(old);
        }
    messages += configs(names_.stableKey);
    return messages;
}

QVector<MqttMessage> PublishedMessages::discoveryRemoval() const {
    QVector<MqttMessage> messages = configs(names_.stableKey);
    if (names_.id != names_.stableKey)
        messages += configs(names_.id);
    for (MqttMessage& m : messages)
        m.payload.clear();
    return messages;
}

QVector<MqttMessage> PublishedMessages::configs(const QString& node) const {
    const QString& key = names_.stableKey;
    const QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{QStringLiteral("velmora_") + key}},
        {QStringLiteral("name"), QStringLiteral("Hydro installation ") + names_.id},
        {QStringLiteral("manufacturer"), QStringLiteral("Orvane")},
        {QStringLiteral("model"), QStringLiteral("Converter and HPU")},
        {QStringLiteral("sw_version"), QStringLiteral("Velmora ") + velmoraVersion()},
    };
    const QJsonObject origin{
        {QStringLiteral("name"), QStringLiteral("velmora-logger")},
        {QStringLiteral("sw_version"), velmoraVersion()},
    };
    QVector<MqttMessage> messages;
    for (const Entity& e : entities()) {
        const bool binary = e.component == Component::BinarySensor;
        const QString component = binary ? QStringLiteral("binary_sensor") : QStringLiteral("sensor");
        const QString objectId = QStringLiteral("velmora_%1_%2").arg(names_.id, e.key);
        const bool health = e.source == Source::Health;
        QJsonObject config{
            {QStringLiteral("name"), e.name},
            {QStringLiteral("unique_id"), QStringLiteral("velmora_%1_%2").arg(key, e.key)},
            {QStringLiteral("default_entity_id"), component + QLatin1Char('.') + objectId},
            // For Home Assistant before 2025.10, which does not know default_entity_id.
            {QStringLiteral("object_id"), objectId},
            {QStringLiteral("state_topic"), health ? healthTopic() : stateTopic()},
            {QStringLiteral("value_template"), e.valueTemplate},
            {QStringLiteral("availability_topic"), statusTopic()},
            {QStringLiteral("payload_available"), QString::fromLatin1(kOnline)},
            {QStringLiteral("payload_not_available"), QString::fromLatin1(kOffline)},
            {QStringLiteral("expire_after"),
             expireAfter(health ? kHealthPeriodSeconds : names_.stateIntervalSeconds)},
            {QStringLiteral("device"), device},
            {QStringLiteral("origin"), origin},
        };
        if (binary) {
            config.insert(QStringLiteral("payload_on"), QStringLiteral("ON"));
            config.insert(QStringLiteral("payload_off"), QStringLiteral("OFF"));
        }
        if (!e.unit.isEmpty())
            config.insert(QStringLiteral("unit_of_measurement"), e.unit);
        if (!e.stateClass.isEmpty())
            config.insert(QStringLiteral("state_class"), e.stateClass);
        if (!e.deviceClass.isEmpty())
            config.insert(QStringLiteral("device_class"), e.deviceClass);
        if (!e.icon.isEmpty())
            config.insert(QStringLiteral("icon"), e.icon);
        if (e.displayPrecision >= 0)
            config.insert(QStringLiteral("suggested_display_precision"), e.displayPrecision);
        if (e.diagnostic)
            config.insert(QStringLiteral("entity_category"), QStringLiteral("diagnostic"));
        messages.append(
            {QStringLiteral("%1/%2/%3/%4/config").arg(names_.discoveryPrefix, component, node, e.key),
             QJsonDocument(config).toJson(QJsonDocument::Compact), true, 1});
    }
    return messages;
}

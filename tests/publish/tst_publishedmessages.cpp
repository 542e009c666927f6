#include "publish/PublishedMessages.h"
#include "publish/PublishedValues.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

QJsonObject json(const MqttMessage& message) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(message.payload, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        qWarning() << "not a JSON object:" << message.payload;
    return doc.object();
}

SecondSample liveSample() {
    SecondSample s;
    s.time = QDateTime(QDate(2026, 3, 14), QTime(14, 3, 27), Qt::OffsetFromUTC, 3600);
    s.inputVoltage = 48.5123;
    s.outputVoltage = 27.31;
    s.outputCurrent = 5.12;
    s.outputPower = 139.8272;
    s.speed = 1520;
    s.temperature = 35.24;
    s.hpuPresent = true;
    s.pressure = 12.4;
    s.hpuMode = QStringLiteral("Auto");
    s.pitch = QStringLiteral("inactive");
    s.inputVoltageAlarm = true;
    return s;
}

} // namespace

class TestPublishedMessages : public QObject {
    Q_OBJECT
private slots:
    void stateCarriesTheValuesAsTheLogLineRoundsThem() {
        const PublishedMessages messages(QStringLiteral("ttyusb0"));
        const MqttMessage m = messages.state(liveSample());
        QCOMPARE(m.topic, QStringLiteral("velmora/ttyusb0/state"));
        QVERIFY(m.retain);
        const QJsonObject o = json(m);
        QCOMPARE(o.value("time").toString(), QStringLiteral("2026-03-14T14:03:27+01:00"));
        QCOMPARE(o.value("input_voltage").toDouble(), 48.512);
        QCOMPARE(o.value("output_voltage").toDouble(), 27.31);
        QCOMPARE(o.value("output_current").toDouble(), 5.12);
        QCOMPARE(o.value("output_power").toDouble(), 139.8);
        QCOMPARE(o.value("speed").toDouble(), 1520.0);
        QCOMPARE(o.value("temperature").toDouble(), 35.2);
        QCOMPARE(o.value("pressure").toDouble(), 12.4);
        QCOMPARE(o.value("hpu_mode").toString(), QStringLiteral("Auto"));
        QCOMPARE(o.value("pitch").toString(), QStringLiteral("inactive"));
        QCOMPARE(o.value("hpu_present").toBool(), true);
        QCOMPARE(o.value("input_voltage_alarm").toBool(), true);
        QCOMPARE(o.value("speed_alarm").toBool(), false);
        QCOMPARE(o.value("temperature_alarm").toBool(), false);
    }

    void unknownValuesAreNullNeverMinusOne() {
        SecondSample silent;
        silent.time = QDateTime(QDate(2026, 3, 14), QTime(14, 3, 28));
        silent.temperature = std::numeric_limits<double>::quiet_NaN(); // not a number is not known either
        const QJsonObject o = json(PublishedMessages(QStringLiteral("x")).state(silent));
        for (const char* key : {"input_voltage", "output_voltage", "output_current", "output_power", "speed",
                                "temperature", "pressure", "hpu_mode", "pitch"}) {
            QVERIFY2(o.contains(QLatin1String(key)), key);
            QVERIFY2(o.value(QLatin1String(key)).isNull(), key);
        }
        QCOMPARE(o.value("hpu_present").toBool(true), false);
        QVERIFY(!PublishedMessages(QStringLiteral("x")).state(silent).payload.contains(":-1"));
    }

    void availabilityIsRetainedOnTheStatusTopic() {
        const PublishedMessages messages(QStringLiteral("demo_installation"));
        QCOMPARE(messages.online(), (MqttMessage{"velmora/demo_installation/status", "online", true, 1}));
        QCOMPARE(messages.offline(), (MqttMessage{"velmora/demo_installation/status", "offline", true, 1}));
    }

    void discoveryAnnouncesEveryPublishedValueOnce() {
        const PublishedMessages messages(QStringLiteral("ttyusb0"));
        const QVector<MqttMessage> configs = messages.discovery();
        const QJsonObject state = json(messages.state(liveSample(), 1.5));
        LoggerHealth health;
        health.time = liveSample().time;
        const QJsonObject healthJson = json(messages.health(health));
        QSet<QString> uniqueIds;
        QSet<QString> stateKeysAnnounced;
        for (const MqttMessage& m : configs) {
            QVERIFY(m.retain);
            const QJsonObject c = json(m);
            const QString key = m.topic.section(QLatin1Char('/'), 3, 3);
            QCOMPARE(m.topic.section(QLatin1Char('/'), 2, 2), QStringLiteral("ttyusb0"));
            QVERIFY(m.topic.endsWith(QLatin1String("/config")));
            const QString topic = c.value("state_topic").toString();
            if (topic == QLatin1String("velmora/ttyusb0/state")) {
                QVERIFY2(state.contains(key), qPrintable(key));
                stateKeysAnnounced.insert(key);
            } else {
                QCOMPARE(topic, QStringLiteral("velmora/ttyusb0/health"));
                QVERIFY2(healthJson.contains(key), qPrintable(key));
                QCOMPARE(c.value("entity_category").toString(), QStringLiteral("diagnostic"));
            }
            QCOMPARE(c.value("availability_topic").toString(), QStringLiteral("velmora/ttyusb0/status"));
            QVERIFY(c.value("value_template").toString().contains(QLatin1String("value_json.") + key));
            QCOMPARE(c.value("device").toObject().value("identifiers").toArray().first().toString(),
                     QStringLiteral("velmora_ttyusb0"));
            uniqueIds.insert(c.value("unique_id").toString());
        }
        QCOMPARE(uniqueIds.size(), configs.size());
        // Every value of the state is announced, the time and the HPU's presence aside.
        for (const QString& key : state.keys())
            if (key != QLatin1String("time") && key != QLatin1String("hpu_present"))
                QVERIFY2(stateKeysAnnounced.contains(key), qPrintable(key));
    }

    // As Home Assistant reads them today: the entity id it should take, where the config came
    // from, and values that expire when the logger hangs.
    void discoveryKeysOfTodaysHomeAssistant() {
        PublishingNames names{QStringLiteral("north")};
        names.stableKey = QStringLiteral("usb-ftdi_a10k-if00-port0");
        names.stateIntervalSeconds = 10;
        const QVector<MqttMessage> configs = PublishedMessages(names).discovery();
        int announced = 0;
        for (const MqttMessage& m : configs) {
            if (m.payload.isEmpty())
                continue; // the topic id's old configurations giving way, below
            ++announced;
            const QJsonObject c = json(m);
            const QString component = m.topic.section(QLatin1Char('/'), 1, 1);
            const QString key = m.topic.section(QLatin1Char('/'), 3, 3);
            QCOMPARE(m.topic.section(QLatin1Char('/'), 2, 2), names.stableKey);
            QCOMPARE(c.value("unique_id").toString(),
                     QStringLiteral("velmora_usb-ftdi_a10k-if00-port0_") + key);
            QCOMPARE(c.value("default_entity_id").toString(),
                     component + QStringLiteral(".velmora_north_") + key);
            QCOMPARE(c.value("object_id").toString(), QStringLiteral("velmora_north_") + key);
            const QJsonObject origin = c.value("origin").toObject();
            QCOMPARE(origin.value("name").toString(), QStringLiteral("velmora-logger"));
            QVERIFY(!origin.value("sw_version").toString().isEmpty());
            QCOMPARE(c.value("expire_after").toInt(), 35); // 3 periods of 10 s, and 5 s
        }
        QCOMPARE(announced, PublishedMessages(QStringLiteral("x")).discovery().size());
        // Configurations an older version put under the topic id are emptied first, so that the
        // same values are not shown twice after an upgrade.
        QCOMPARE(configs.size(), 2 * announced);
        QVERIFY(configs.first().payload.isEmpty());
        QCOMPARE(configs.first().topic.section(QLatin1Char('/'), 2, 2), QStringLiteral("north"));
    }

    void expiryFollowsThePeriodWithAFloor_data() {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("stateExpiry");
        QTest::newRow("every second") << 1 << 15;
        QTest::newRow("every 10 s") << 10 << 35;
        QTest::newRow("every minute") << 60 << 185;
    }
    void expiryFollowsThePeriodWithAFloor() {
        QFETCH(int, interval);
        QFETCH(int, stateExpiry);
        PublishingNames names{QStringLiteral("x")};
        names.stateIntervalSeconds = interval;
        for (const MqttMessage& m : PublishedMessages(names).discovery()) {
            const QJsonObject c = json(m);
            const bool diagnostic = c.value("entity_category").toString() == QLatin1String("diagnostic");
            QCOMPARE(c.value("expire_after").toInt(), diagnostic ? 35 : stateExpiry);
        }
    }

    void energyIsATotalHomeAssistantCanCount() {
        const QVector<MqttMessage> configs = PublishedMessages(QStringLiteral("x")).discovery();
        const auto energy = std::find_if(configs.begin(), configs.end(), [](const MqttMessage& m) {
            return m.topic == QLatin1String("homeassistant/sensor/x/energy/config");
        });
        QVERIFY(energy != configs.end());
        const QJsonObject c = json(*energy);
        QCOMPARE(c.value("device_class").toString(), QStringLiteral("energy"));
        QCOMPARE(c.value("state_class").toString(), QStringLiteral("total_increasing"));
        QCOMPARE(c.value("unit_of_measurement").toString(), QStringLiteral("kWh"));
        // 100 W for a minute is 0.00167 kWh: the total moves every minute.
        const QJsonObject state =
            json(PublishedMessages(QStringLiteral("x")).state(liveSample(), 100.0 * 60 / 3.6e6));
        QVERIFY(state.value("energy").toDouble() > 0.0);
    }

    void topicRootAndPrefixAreTheUsers() {
        PublishingNames names{QStringLiteral("t7")};
        names.topicRoot = QStringLiteral("site/hydro");
        names.discoveryPrefix = QStringLiteral("ha");
        const PublishedMessages messages(names);
        QCOMPARE(messages.stateTopic(), QStringLiteral("site/hydro/t7/state"));
        QCOMPARE(messages.healthTopic(), QStringLiteral("site/hydro/t7/health"));
        QCOMPARE(messages.online().topic, QStringLiteral("site/hydro/t7/status"));
        QCOMPARE(messages.birthTopic(), QStringLiteral("ha/status"));
        for (const MqttMessage& m : messages.discovery()) {
            QVERIFY2(m.topic.startsWith(QLatin1String("ha/")), qPrintable(m.topic));
            QVERIFY(json(m).value("state_topic").toString().startsWith(QLatin1String("site/hydro/t7/")));
        }
    }

    void healthSaysWhatIsKnownAndNullForTheRest() {
        const PublishedMessages messages(QStringLiteral("x"));
        LoggerHealth h;
        h.time = QDateTime(QDate(2026, 3, 14), QTime(14, 3, 30), Qt::UTC);
        QJsonObject o = json(messages.health(h)); // adapter gone, nothing heard
        QCOMPARE(messages.health(h).topic, QStringLiteral("velmora/x/health"));
        QVERIFY(messages.health(h).retain);
        QCOMPARE(o.value("adapter_connected").toBool(true), false);
        for (const char* key : {"converter_frames_per_second", "checksum_errors", "converter_silent_seconds",
                                "hpu_silent_seconds", "clock_step_seconds", "log_problem"})
            QVERIFY2(o.value(QLatin1String(key)).isNull(), key);

        h.adapterConnected = true;
        h.converterFramesPerSecond = 2.04;
        h.checksumErrors = 3;
        h.converterSilentSeconds = 0;
        h.logWriting = false;
        h.logProblem = QStringLiteral("Unable to write to Log file");
        h.lastClockStep = LoggerHealth::ClockStep{QDateTime(QDate(2021, 1, 1), QTime(0, 0, 10), Qt::UTC),
                                                  QDateTime(QDate(2026, 3, 14), QTime(14, 0), Qt::UTC)};
        o = json(messages.health(h));
        QCOMPARE(o.value("converter_frames_per_second").toDouble(), 2.0);
        QCOMPARE(o.value("checksum_errors").toDouble(), 3.0);
        QCOMPARE(o.value("converter_silent_seconds").toDouble(), 0.0); // heard this second: 0, not unknown
        QVERIFY(o.value("hpu_silent_seconds").isNull());
        QCOMPARE(o.value("log_writing").toBool(true), false);
        QCOMPARE(o.value("log_problem").toString(), h.logProblem);
        QCOMPARE(o.value("clock_step_seconds").toDouble(), double(h.lastClockStep->seconds()));
        QVERIFY(o.value("clock_step")
                    .toObject()
                    .value("from")
                    .toString()
                    .startsWith(QLatin1String("2021-01-01")));
    }

    void removalEmptiesEveryConfigurationTopic() {
        PublishingNames names{QStringLiteral("north")};
        names.stableKey = QStringLiteral("k1");
        const PublishedMessages messages(names);
        const QVector<MqttMessage> removal = messages.discoveryRemoval();
        QSet<QString> topics;
        for (const MqttMessage& m : removal) {
            QVERIFY(m.payload.isEmpty());
            QVERIFY(m.retain);
            topics.insert(m.topic);
        }
        for (const MqttMessage& m : messages.discovery())
            QVERIFY2(topics.contains(m.topic), qPrintable(m.topic));
        QCOMPARE(
            PublishedMessages(QStringLiteral("same")).discoveryRemoval().size(),
            PublishedMessages(QStringLiteral("same")).discovery().size()); // one set when id and key agree
    }

    void discoveryGivesUnitsClassesAndComponents_data() {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("deviceClass");
        QTest::newRow("input voltage") << "homeassistant/sensor/id7/input_voltage/config"
                                       << "V"
                                       << "voltage";
        QTest::newRow("output current") << "homeassistant/sensor/id7/output_current/config"
                                        << "A"
                                        << "current";
        QTest::newRow("output power") << "homeassistant/sensor/id7/output_power/config"
                                      << "W"
                                      << "power";
        QTest::newRow("speed") << "homeassistant/sensor/id7/speed/config"
                               << "rpm"
                               << "";
        QTest::newRow("temperature") << "homeassistant/sensor/id7/temperature/config"
                                     << "°C"
                                     << "temperature";
        QTest::newRow("pressure") << "homeassistant/sensor/id7/pressure/config"
                                  << "bar"
                                  << "pressure";
        QTest::newRow("mode, a text") << "homeassistant/sensor/id7/hpu_mode/config"
                                      << ""
                                      << "";
        QTest::newRow("speed alarm") << "homeassistant/binary_sensor/id7/speed_alarm/config"
                                     << ""
                                     << "problem";
        QTest::newRow("voltage alarm") << "homeassistant/binary_sensor/id7/input_voltage_alarm/config"
                                       << ""
                                       << "problem";
        QTest::newRow("temperature alarm") << "homeassistant/binary_sensor/id7/temperature_alarm/config"
                                           << ""
                                           << "problem";
        QTest::newRow("seconds since the converter was heard")
            << "homeassistant/sensor/id7/converter_silent_seconds/config"
            << "s"
            << "duration";
        QTest::newRow("log writing") << "homeassistant/binary_sensor/id7/log_writing/config"
                                     << ""
                                     << "problem";
        QTest::newRow("adapter") << "homeassistant/binary_sensor/id7/adapter_connected/config"
                                 << ""
                                 << "connectivity";
    }
    void discoveryGivesUnitsClassesAndComponents() {
        QFETCH(QString, topic);
        QFETCH(QString, unit);
        QFETCH(QString, deviceClass);
        const QVector<MqttMessage> configs = PublishedMessages(QStringLiteral("id7")).discovery();
        const auto found = std::find_if(configs.begin(), configs.end(),
                                        [&](const MqttMessage& m) { return m.topic == topic; });
        QVERIFY2(found != configs.end(), qPrintable(topic));
        const QJsonObject c = json(*found);
        QCOMPARE(c.value("unit_of_measurement").toString(), unit);
        QCOMPARE(c.value("device_class").toString(), deviceClass);
        QCOMPARE(c.contains("state_class"), !unit.isEmpty()); // numbers get long-term statistics
        if (topic.contains(QLatin1String("binary_sensor"))) {
            QCOMPARE(c.value("payload_on").toString(), QStringLiteral("ON"));
            QVERIFY(c.value("value_template").toString().contains(QLatin1String("'ON' if")));
        }
    }
};

QTEST_GUILESS_MAIN(TestPublishedMessages)
#include "tst_publishedmessages.moc"

#include "publish/PublishedMessages.h"
#include "publish/PublishedValues.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

    void discoveryAnnouncesEveryStateValueOnce() {
        const PublishedMessages messages(QStringLiteral("ttyusb0"));
        const QVector<MqttMessage> configs = messages.discovery();
        QCOMPARE(configs.size(), publishedValues().size());
        const QJsonObject state = json(messages.state(liveSample()));
        QSet<QString> uniqueIds;
        for (const MqttMessage& m : configs) {
            QVERIFY(m.retain);
            const QJsonObject c = json(m);
            const QString key = m.topic.section(QLatin1Char('/'), 3, 3);
            QVERIFY2(state.contains(key), qPrintable(key));
            QCOMPARE(m.topic.section(QLatin1Char('/'), 2, 2), QStringLiteral("ttyusb0"));
            QVERIFY(m.topic.endsWith(QLatin1String("/config")));
            QCOMPARE(c.value("state_topic").toString(), QStringLiteral("velmora/ttyusb0/state"));
            QCOMPARE(c.value("availability_topic").toString(), QStringLiteral("velmora/ttyusb0/status"));
            QVERIFY(c.value("value_template").toString().contains(QLatin1String("value_json.") + key));
            QCOMPARE(c.value("device").toObject().value("identifiers").toArray().first().toString(),
                     QStringLiteral("velmora_ttyusb0"));
            uniqueIds.insert(c.value("unique_id").toString());
        }
        QCOMPARE(uniqueIds.size(), configs.size());
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

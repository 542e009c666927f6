// velmora-logger --demo publishing to a real Mosquitto broker, seen by a subscriber as Home
// Assistant would see it.
#include "FakeTime.h"
#include "LoggerProcess.h"
#include "MosquittoBroker.h"
#include "MqttSubscriber.h"
#include "ProcessUsage.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QString kLogger = QStringLiteral(VELMORA_LOGGER_PATH);
const QString kId = QStringLiteral("demo_installation");
const QString kState = QStringLiteral("velmora/demo_installation/state");
const QString kStatus = QStringLiteral("velmora/demo_installation/status");
const QString kHealth = QStringLiteral("velmora/demo_installation/health");
const QStringList kTopics{QStringLiteral("velmora/#"), QStringLiteral("homeassistant/#")};
// The twelve values of a second, the energy produced and seven diagnostic entities.
constexpr int kConfigs = 20;

// Discovery configurations of the demo installation received (each topic once); only the
// retained ones when asked, as a subscriber that comes later gets them.
int discoveryCount(const MqttSubscriber& subscriber, bool retainedOnly = false) {
    QSet<QString> topics;
    for (const auto& m : subscriber.messages())
        if (m.topic.startsWith(QLatin1String("homeassistant/")) &&
            m.topic.section(QLatin1Char('/'), 2, 2) == kId && (m.retained || !retainedOnly))
            topics.insert(m.topic);
    return int(topics.size());
}

QJsonObject lastState(const MqttSubscriber& subscriber) {
    return QJsonDocument::fromJson(subscriber.last(kState)).object();
}

QJsonObject lastHealth(const MqttSubscriber& subscriber) {
    return QJsonDocument::fromJson(subscriber.last(kHealth)).object();
}

QString writeFileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QString();
    return file.fileName();
}

// The log line of the state's second, split in fields; empty when not (yet) written.
QStringList logLineOf(const QString& folder, const QJsonObject& state) {
    const QString time = QDateTime::fromString(state.value("time").toString(), Qt::ISODate)
                             .toLocalTime()
                             .toString(QStringLiteral("HH:mm:ss"));
    for (const QString& line : LoggerProcess::logLines(folder))
        if (line.startsWith(time + QLatin1Char(';')))
            return line.split(QLatin1Char(';'));
    return {};
}

double number(const QString& field) {
    return QString(field).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

qint64 residentBytes(const LoggerProcess& logger) {
    return processUsage(logger.process.processId()).residentBytes;
}

} // namespace

#define START_BROKER(broker) QVERIFY2((broker).start(), qPrintable((broker).error()))

class TestLoggerPublishing : public QObject {
    Q_OBJECT
private slots:
    void demoInstallationIsAnnouncedAndPublishedAsTheLogWritesIt() {
        MosquittoBroker broker;
        START_BROKER(broker);
        MqttSubscriber subscriber;
        QString error;
        QVERIFY2(subscriber.connectTo(broker.port(), kTopics, &error), qPrintable(error));
        QTemporaryDir logs;
        LoggerProcess logger(kLogger);
        logger.start({"--demo", "--log-folder", logs.path(), "--mqtt", broker.url()});

        QTRY_COMPARE_WITH_TIMEOUT(discoveryCount(subscriber), kConfigs, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(kStatus), QByteArray("online"), 10000);
        // A second once the HPU has answered, and its line in the log.
        QTRY_VERIFY_WITH_TIMEOUT(lastState(subscriber).value("pressure").isDouble(), 10000);
        const QJsonObject state = lastState(subscriber);
        QStringList line;
        QTRY_VERIFY_WITH_TIMEOUT(!(line = logLineOf(logs.path(), state)).isEmpty(), 5000);
        QCOMPARE(line.size(), 11); // ten fields and the empty one after the last ";"
        QCOMPARE(state.value("input_voltage").toDouble(), number(line[1]));
        QCOMPARE(state.value("output_voltage").toDouble(), number(line[2]));
        QCOMPARE(state.value("output_current").toDouble(), number(line[3]));
        QCOMPARE(state.value("output_power").toDouble(), number(line[4]));
        QCOMPARE(state.value("speed").toDouble(), number(line[5]));
        QCOMPARE(state.value("temperature").toDouble(), number(line[6]));
        QCOMPARE(state.value("hpu_mode").toString(), line[7]);
        QCOMPARE(state.value("pressure").toDouble(), number(line[8]));
        QCOMPARE(state.value("pitch").toString(), line[9]);
        QVERIFY(state.value("input_voltage").toDouble() > 10.0); // the demo's generator runs
        QCOMPARE(state.value("hpu_present").toBool(), true);
        for (const char* alarm : {"speed_alarm", "input_voltage_alarm", "temperature_alarm"})
            QVERIFY2(state.value(QLatin1String(alarm)).isBool(), alarm);

        // One configuration checked whole, as Home Assistant reads it.
        QByteArray config;
        for (const auto& m : subscriber.messages())
            if (m.topic == QLatin1String("homeassistant/sensor/demo_installation/input_voltage/config"))
                config = m.payload;
        const QJsonObject c = QJsonDocument::fromJson(config).object();
        QCOMPARE(c.value("state_topic").toString(), kState);
        QCOMPARE(c.value("availability_topic").toString(), kStatus);
        QCOMPARE(c.value("unit_of_measurement").toString(), QStringLiteral("V"));
        QCOMPARE(c.value("device_class").toString(), QStringLiteral("voltage"));
        QVERIFY(c.value("expire_after").toInt() > 0);
        QCOMPARE(c.value("default_entity_id").toString(),
                 QStringLiteral("sensor.velmora_demo_installation_input_voltage"));
        QCOMPARE(c.value("origin").toObject().value("name").toString(), QStringLiteral("velmora-logger"));

        // The energy produced grows with the demo's power; the logger's health comes every 10 s.
        QTRY_VERIFY_WITH_TIMEOUT(lastState(subscriber).value("energy").toDouble() > 0.0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(lastHealth(subscriber).value("converter_frames_per_second").toDouble() > 0.0,
                                 15000);
        const QJsonObject health = lastHealth(subscriber);
        QCOMPARE(health.value("adapter_connected").toBool(), true);
        QCOMPARE(health.value("log_writing").toBool(), true);
        QVERIFY(health.value("converter_silent_seconds").toDouble() < 3.0);

        // Home Assistant started later gets it all from the broker.
        MqttSubscriber later;
        QVERIFY2(later.connectTo(broker.port(), kTopics, &error), qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(discoveryCount(later, true), kConfigs, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(later.lastRetained(kState), 5000);
        QVERIFY(later.lastRetained(kStatus));
        QVERIFY(later.lastRetained(kHealth));

        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(kStatus), QByteArray("offline"), 5000);
    }

    void aKilledLoggerIsMarkedOfflineByTheBroker() {
        MosquittoBroker broker;
        START_BROKER(broker);
        MqttSubscriber subscriber;
        QString error;
        QVERIFY2(subscriber.connectTo(broker.port(), kTopics, &error), qPrintable(error));
        QTemporaryDir logs;
        LoggerProcess logger(kLogger);
        logger.start(
            {"--demo", "--log-folder", logs.path(), "--mqtt", broker.url(), "--mqtt-id", "turbine-7"});
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last("velmora/turbine-7/status"), QByteArray("online"), 10000);
        logger.process.kill(); // no goodbye: the last will speaks
        QVERIFY(logger.process.waitForFinished(5000));
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last("velmora/turbine-7/status"), QByteArray("offline"), 10000);
        // Retained: Home Assistant started after the loss learns it from the broker too.
        MqttSubscriber later;
        QVERIFY2(later.connectTo(broker.port(), {QStringLiteral("velmora/turbine-7/status")}, &error),
                 qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(later.last("velmora/turbine-7/status"), QByteArray("offline"), 5000);
        QVERIFY(later.lastRetained("velmora/turbine-7/status"));
    }

    void brokerStoppedAndStartedAgainMidRun() {
        MosquittoBroker broker;
        START_BROKER(broker);
        QTemporaryDir logs;
        LoggerProcess logger(kLogger);
        // Under AddressSanitizer freed memory is held back in a quarantine, which would read as
        // growth here: keep it small (the leak check at exit still runs).
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           environment.value(QStringLiteral("ASAN_OPTIONS")) +
                               QStringLiteral(":quarantine_size_mb=1:thread_local_quarantine_size_kb=64"));
        logger.process.setProcessEnvironment(environment);
        logger.start({"--demo", "--log-folder", logs.path(), "--mqtt", broker.url()});
        QTRY_VERIFY_WITH_TIMEOUT(logger.stderrText().count(QLatin1String("MQTT: connected")) == 1, 10000);
        QTest::qWait(2000); // settle before the memory reference (real seconds of a real process)
        const qint64 before = residentBytes(logger);
        QVERIFY(before > 0);

        for (int round = 1; round <= 3; ++round) {
            broker.stop();
            const int linesAtStop = int(LoggerProcess::logLines(logs.path()).size());
            QTRY_VERIFY_WITH_TIMEOUT(logger.stderrText().count(QLatin1String("connection lost")) == round,
                                     10000);
            // The log goes on while the broker is away.
            QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs.path()).size() >= linesAtStop + 2, 5000);
            START_BROKER(broker);
            MqttSubscriber subscriber;
            QString error;
            QVERIFY2(subscriber.connectTo(broker.port(), kTopics, &error), qPrintable(error));
            QTRY_VERIFY_WITH_TIMEOUT(logger.stderrText().count(QLatin1String("MQTT: connected")) == round + 1,
                                     20000);
            // The restarted broker remembers nothing: discovery and state came again.
            QTRY_COMPARE_WITH_TIMEOUT(discoveryCount(subscriber), kConfigs, 10000);
            subscriber.clear();
            QTRY_VERIFY_WITH_TIMEOUT(subscriber.count(kState) >= 2, 10000); // live seconds again
            QCOMPARE(logger.process.state(), QProcess::Running);
            // The seconds the broker missed are said, on stderr and in the journal beside the log.
            QCOMPARE(logger.stderrText().count(QLatin1String("seconds not published while")), round);
            const QStringList notPublished =
                LoggerProcess::journalEvents(logs.path()).filter(QRegularExpression(QStringLiteral(
                    "^states not published;[1-9][0-9]* seconds not published while .* was away, the log has them;$")));
            QCOMPARE(notPublished.size(), round);
        }
        const qint64 after = residentBytes(logger);
        qInfo("resident memory of the logger: %lld kB before the first stop, %lld kB after three restarts",
              before / 1024, after / 1024);
        QVERIFY2(
            after - before < 2 * 1024 * 1024,
            qPrintable(
                QStringLiteral("resident %1 kB before, %2 kB after").arg(before / 1024).arg(after / 1024)));

        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 0);
    }

    void wrongPasswordIsReportedClearlyAndLoggingGoesOn() {
        MosquittoBroker broker;
        broker.requireUser(QStringLiteral("velmora"), QStringLiteral("right horse"));
        START_BROKER(broker);
        QTemporaryDir dir;
        QFile password(dir.filePath(QStringLiteral("password")));
        QVERIFY(password.open(QIODevice::WriteOnly));
        password.write("wrong horse\n");
        password.close();
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("logs")));
        const QString logs = dir.filePath(QStringLiteral("logs"));
        LoggerProcess logger(kLogger);
        logger.start({"--demo", "--log-folder", logs, "--mqtt", broker.url(QStringLiteral("velmora")),
                      "--mqtt-password-file", password.fileName()});
        QTRY_VERIFY_WITH_TIMEOUT(logger.stderrText().contains(QLatin1String("refused the connection")),
                                 10000);
        const QString text = logger.stderrText();
        QVERIFY2(text.contains(QLatin1String("not authorised")), qPrintable(text));
        QVERIFY2(text.contains(QLatin1String("--mqtt-password-file")), qPrintable(text));
        QVERIFY2(text.contains(broker.url().section(QLatin1Char('/'), 2)), qPrintable(text)); // which broker
        QTRY_VERIFY_WITH_TIMEOUT(LoggerProcess::logLines(logs).size() >= 2, 10000);
        QCOMPARE(logger.stderrText().count(QLatin1String("refused the connection")),
                 1); // told once, not per retry

        logger.signal(SIGINT);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 0);
    }

    // Seen from afar: a wall clock that jumps an hour (libfaketime, the monotonic clock left
    // alone) and a log folder that vanishes under the running logger reach the health topic.
    void clockStepAndLogFailureReachTheHealthTopic() {
        if (FakeTime::library().isEmpty())
            QSKIP("libfaketime is not installed (Debian package faketime)");
        MosquittoBroker broker;
        START_BROKER(broker);
        MqttSubscriber subscriber;
        QString error;
        QVERIFY2(subscriber.connectTo(broker.port(), kTopics, &error), qPrintable(error));
        QTemporaryDir dir;
        const QString clockFile = writeFileIn(dir, QStringLiteral("clock"), "+0\n");
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("logs")));
        const QString logs = dir.filePath(QStringLiteral("logs"));
        LoggerProcess logger(kLogger);
        const QProcessEnvironment environment = FakeTime::environment(clockFile);
        logger.process.setProcessEnvironment(environment);
        logger.start({"--demo", "--log-folder", logs, "--mqtt", broker.url()});
        QTRY_VERIFY_WITH_TIMEOUT(lastHealth(subscriber).value("converter_frames_per_second").toDouble() > 0.0,
                                 15000);
        QCOMPARE(lastHealth(subscriber).value("log_writing").toBool(), true);
        QVERIFY(lastHealth(subscriber).value("clock_step_seconds").isNull()); // no step yet

        QVERIFY(!writeFileIn(dir, QStringLiteral("clock"), "+3600\n").isEmpty());
        QVERIFY(QDir(logs).removeRecursively());
        QTRY_VERIFY_WITH_TIMEOUT(!lastHealth(subscriber).value("clock_step_seconds").isNull(), 15000);
        const double step = lastHealth(subscriber).value("clock_step_seconds").toDouble();
        QVERIFY2(qAbs(step - 3600) <= 2, qPrintable(QString::number(step)));
        QTRY_COMPARE_WITH_TIMEOUT(lastHealth(subscriber).value("log_writing").toBool(true), false, 15000);
        QVERIFY(!lastHealth(subscriber).value("log_problem").toString().isEmpty());
        QCOMPARE(lastHealth(subscriber).value("adapter_connected").toBool(), true); // the rest goes on

        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
    }

    void homeAssistantRestartingGetsDiscoveryAndStateAgain() {
        MosquittoBroker broker;
        START_BROKER(broker);
        MqttSubscriber homeAssistant;
        QString error;
        QVERIFY2(homeAssistant.connectTo(broker.port(), kTopics, &error), qPrintable(error));
        QTemporaryDir logs;
        LoggerProcess logger(kLogger);
        logger.start(
            {"--demo", "--log-folder", logs.path(), "--mqtt", broker.url(), "--mqtt-interval", "60"});
        QTRY_COMPARE_WITH_TIMEOUT(discoveryCount(homeAssistant), kConfigs, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(homeAssistant.count(kState) == 1, 10000);
        QTest::qWait(1500);
        QCOMPARE(homeAssistant.count(kState), 1); // one state a minute, not every second

        homeAssistant.clear();
        QVERIFY(homeAssistant.publish(QStringLiteral("homeassistant/status"), "online"));
        QTRY_COMPARE_WITH_TIMEOUT(discoveryCount(homeAssistant), kConfigs, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(homeAssistant.count(kState), 1,
                                  5000); // the last state, without waiting a minute
        QCOMPARE(homeAssistant.last(kStatus), QByteArray("online"));

        logger.signal(SIGTERM);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 0);
    }

    void removingTheDiscoveryLeavesNoRetainedConfiguration() {
        MosquittoBroker broker;
        START_BROKER(broker);
        QTemporaryDir logs;
        {
            LoggerProcess logger(kLogger);
            logger.start({"--demo", "--log-folder", logs.path(), "--mqtt", broker.url()});
            QTRY_VERIFY_WITH_TIMEOUT(logger.stderrText().contains(QLatin1String("MQTT: connected")), 10000);
            MqttSubscriber before;
            QString error;
            QVERIFY2(before.connectTo(broker.port(), kTopics, &error), qPrintable(error));
            QTRY_COMPARE_WITH_TIMEOUT(discoveryCount(before), kConfigs, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(!before.last(kState).isEmpty(), 10000);
            logger.signal(SIGTERM);
            QVERIFY(logger.process.waitForFinished(10000));
        }
        const int linesBefore = int(LoggerProcess::logLines(logs.path()).size());

        LoggerProcess remover(kLogger);
        remover.start(
            {"--demo", "--log-folder", logs.path(), "--mqtt", broker.url(), "--mqtt-remove-discovery"});
        QVERIFY(remover.process.waitForFinished(20000));
        QCOMPARE(remover.process.exitCode(), 0);
        QVERIFY2(remover.stderrText().contains(QLatin1String("discovery of demo_installation is removed")),
                 qPrintable(remover.stderrText()));

        // Home Assistant connecting now: the retained status still comes, and no configuration.
        MqttSubscriber after;
        QString error;
        QVERIFY2(after.connectTo(broker.port(), kTopics, &error), qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(after.lastRetained(kStatus), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(after.lastRetained(kState), 5000);
        QTest::qWait(500);
        QCOMPARE(discoveryCount(after, true), 0);
        QCOMPARE(int(LoggerProcess::logLines(logs.path()).size()), linesBefore); // it read and logged nothing
    }

    void clientCertificateThatTlsCannotUseExitsWithStatusOne() {
        MosquittoBroker broker;
        QVERIFY2(broker.enableTls(), qPrintable(broker.error()));
        START_BROKER(broker);
        QTemporaryDir dir;
        const QString cert = writeFileIn(dir, QStringLiteral("client.crt"), "not a certificate\n");
        const QString key = writeFileIn(dir, QStringLiteral("client.key"), "not a key\n");
        QVERIFY(!cert.isEmpty() && !key.isEmpty());
        LoggerProcess logger(kLogger);
        logger.start({"--demo", "--log-folder", dir.path(), "--mqtt", broker.url(), "--mqtt-ca",
                      broker.caFile(), "--mqtt-cert", cert, "--mqtt-key", key});
        QVERIFY(logger.process.waitForFinished(20000));
        QCOMPARE(logger.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(logger.process.exitCode(), 1); // for the service manager: not a mistake in the options
        const QString text = logger.stderrText();
        QVERIFY2(text.contains(QLatin1String("TLS set-up failed")), qPrintable(text));
        QVERIFY2(text.contains(cert), qPrintable(text)); // which file
    }

    void optionMistakesExitWithStatusTwo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("interval of 0") << QStringList{"--mqtt-interval", "0"};
        QTest::newRow("interval not a number") << QStringList{"--mqtt-interval", "soon"};
        QTest::newRow("wildcard in the topic root") << QStringList{"--mqtt-topic", "velmora/#"};
        QTest::newRow("prefix and no discovery") << QStringList{"--discovery-prefix", "ha", "--no-discovery"};
        QTest::newRow("certificate without key") << QStringList{"--mqtt-cert", "/etc/hostname"};
        QTest::newRow("certificate on plain mqtt")
            << QStringList{"--mqtt-cert", "/etc/hostname", "--mqtt-key", "/etc/hostname"};
        QTest::newRow("client id with a space") << QStringList{"--mqtt-client-id", "my board"};
        QTest::newRow("removal and no discovery") << QStringList{"--mqtt-remove-discovery", "--no-discovery"};
    }
    void optionMistakesExitWithStatusTwo() {
        QFETCH(QStringList, arguments);
        QTemporaryDir logs;
        LoggerProcess logger(kLogger);
        logger.start(QStringList{"--demo", "--log-folder", logs.path(), "--mqtt", "mqtt://127.0.0.1:1"} +
                     arguments);
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitCode(), 2);
        QVERIFY2(logger.stderrText().contains(QLatin1String("--help")), qPrintable(logger.stderrText()));
    }
};

QTEST_GUILESS_MAIN(TestLoggerPublishing)
#include "tst_loggerpublishing.moc"

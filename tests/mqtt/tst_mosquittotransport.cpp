#include "MosquittoBroker.h"
#include "MqttSubscriber.h"
#include "core/EnergyMeter.h"
#include "mqtt/MosquittoTransport.h"
#include "publish/MqttPublisher.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QSet>
#include <QTest>

namespace {

const QString kState = QStringLiteral("velmora/t1/state");
const QString kStatus = QStringLiteral("velmora/t1/status");

SecondSample sampleWith(double inputVoltage) {
    SecondSample s;
    s.time = QDateTime::currentDateTime();
    s.inputVoltage = inputVoltage;
    s.speed = 1500;
    return s;
}

MqttConnection connectionTo(const MosquittoBroker& broker, const QString& user = QString(),
                            const QString& password = QString()) {
    MqttConnection c;
    BrokerUrl::parse(broker.url(user), c.broker);
    c.password = password;
    c.clientId = QStringLiteral("velmora-test-t1");
    return c;
}

// Discovery configurations of t1 received, each topic once: a subscriber that comes while they
// are being sent gets some both as retained and as they are sent.
int discoveryCount(const MqttSubscriber& subscriber) {
    QSet<QString> topics;
    for (const auto& m : subscriber.messages())
        if (m.topic.startsWith(QLatin1String("homeassistant/")) && m.topic.contains(QLatin1String("/t1/")))
            topics.insert(m.topic);
    return int(topics.size());
}

} // namespace

#define START_BROKER(broker) QVERIFY2((broker).start(), qPrintable((broker).error()))

class TestMosquittoTransport : public QObject {
    Q_OBJECT
private slots:
    void onlineDiscoveryAndStateReachTheBrokerAndOfflineEndsIt() {
        MosquittoBroker broker;
        START_BROKER(broker);
        MosquittoTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        publisher.start(connectionTo(broker));
        QTRY_VERIFY_WITH_TIMEOUT(publisher.isConnected(), 10000);
        publisher.publishSample(sampleWith(48.25));

        // A subscriber that comes later, as Home Assistant after a restart, gets everything retained.
        MqttSubscriber subscriber;
        QString error;
        QTRY_VERIFY_WITH_TIMEOUT(
            subscriber.connectTo(broker.port(), {"velmora/#", "homeassistant/#"}, &error), 5000);
        const int configs = PublishedMessages(QStringLiteral("t1")).discovery().size();
        QTRY_COMPARE_WITH_TIMEOUT(discoveryCount(subscriber), configs, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!subscriber.last(kState).isEmpty(), 10000);
        QVERIFY(subscriber.lastRetained(kState));
        const QJsonObject state = QJsonDocument::fromJson(subscriber.last(kState)).object();
        QCOMPARE(state.value("input_voltage").toDouble(), 48.25);
        QVERIFY(state.value("pressure").isNull());
        QCOMPARE(subscriber.last(kStatus), QByteArray("online"));

        QElapsedTimer stopping;
        stopping.start();
        publisher.stop(2000);
        QVERIFY(stopping.elapsed() < 3000);
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(kStatus), QByteArray("offline"), 5000);
    }

    void brokerRestartedMidRunGetsDiscoveryAgainAndTheWaitingStates() {
        MosquittoBroker broker;
        START_BROKER(broker);
        MosquittoTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        QSignalSpy failures(&publisher, &MqttPublisher::connectionFailed);
        QSignalSpy connections(&publisher, &MqttPublisher::connected);
        publisher.start(connectionTo(broker));
        QTRY_COMPARE_WITH_TIMEOUT(connections.count(), 1, 10000);
        publisher.publishSample(sampleWith(40));

        broker.stop(); // no persistence: it forgets every retained message
        QTRY_VERIFY_WITH_TIMEOUT(!publisher.isConnected(), 10000);
        QVERIFY(failures.count() >= 1);
        QSignalSpy dropped(&publisher, &MqttPublisher::statesDropped);
        publisher.publishSample(sampleWith(41)); // replaced by the newer one while waiting
        publisher.publishSample(sampleWith(42));
        QCOMPARE(publisher.pending(), 1);

        START_BROKER(broker);
        QTRY_COMPARE_WITH_TIMEOUT(connections.count(), 2, 20000);
        QCOMPARE(publisher.pending(), 0);
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.first().first().toULongLong(), 1ULL);
        MqttSubscriber subscriber;
        QString error;
        QVERIFY2(subscriber.connectTo(broker.port(), {"velmora/#", "homeassistant/#"}, &error),
                 qPrintable(error));
        const int configs = PublishedMessages(QStringLiteral("t1")).discovery().size();
        QTRY_COMPARE_WITH_TIMEOUT(discoveryCount(subscriber), configs, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.last(kStatus), QByteArray("online"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!subscriber.last(kState).isEmpty(), 10000);
        QCOMPARE(QJsonDocument::fromJson(subscriber.last(kState)).object().value("input_voltage").toDouble(),
                 42.0);
        publisher.publishSample(sampleWith(43)); // and the seconds go on
        QTRY_COMPARE_WITH_TIMEOUT(
            QJsonDocument::fromJson(subscriber.last(kState)).object().value("input_voltage").toDouble(), 43.0,
            10000);
        publisher.stop();
    }

    void wrongPasswordIsRefusedAndSaidSo() {
        MosquittoBroker broker;
        broker.requireUser(QStringLiteral("velmora"), QStringLiteral("right horse"));
        START_BROKER(broker);
        MosquittoTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        QSignalSpy failures(&publisher, &MqttPublisher::connectionFailed);
        publisher.start(connectionTo(broker, QStringLiteral("velmora"), QStringLiteral("wrong horse")));
        QTRY_VERIFY_WITH_TIMEOUT(failures.count() >= 1, 10000);
        QVERIFY2(failures.first().at(0).toString().contains(QLatin1String("not authori")),
                 qPrintable(failures.first().at(0).toString()));
        QCOMPARE(failures.first().at(1).toBool(), true);
        QVERIFY(!publisher.isConnected());
        publisher.stop();

        MosquittoTransport goodTransport;
        MqttPublisher good(goodTransport, PublishedMessages(QStringLiteral("t1")));
        good.start(connectionTo(broker, QStringLiteral("velmora"), QStringLiteral("right horse")));
        QTRY_VERIFY_WITH_TIMEOUT(good.isConnected(), 10000);
        good.stop();
    }

    void tlsWithTheBrokersCaConnectsAndWithoutItIsRefused() {
        MosquittoBroker broker;
        QVERIFY2(broker.enableTls(), qPrintable(broker.error()));
        START_BROKER(broker);
        MqttConnection trusted = connectionTo(broker);
        QVERIFY(trusted.broker.tls);
        trusted.caFile = broker.caFile();
        MosquittoTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        publisher.start(trusted);
        QTRY_VERIFY_WITH_TIMEOUT(publisher.isConnected(), 10000);
        publisher.stop();

        // The system's authorities do not know the test's CA: the handshake fails, and says so.
        MosquittoTransport untrustedTransport;
        MqttPublisher untrusted(untrustedTransport, PublishedMessages(QStringLiteral("t1")));
        QSignalSpy failures(&untrusted, &MqttPublisher::connectionFailed);
        QSignalSpy setupFailures(&untrusted, &MqttPublisher::setupFailed);
        untrusted.start(connectionTo(broker));
        QTRY_VERIFY2_WITH_TIMEOUT(failures.count() >= 1,
                                  qPrintable(setupFailures.isEmpty()
                                                 ? QStringLiteral("no signal")
                                                 : setupFailures.first().first().toString()),
                                  10000);
        QVERIFY(!untrusted.isConnected());
        QVERIFY2(failures.first().at(0).toString().startsWith(QLatin1String("cannot reach the broker")),
                 qPrintable(failures.first().at(0).toString()));
        untrusted.stop();
    }

    // Known power over known seconds, the total seen by Home Assistant connecting later, then a
    // restart of the logger that goes on from the saved total.
    void energyTotalReachesTheBrokerAndSurvivesARestart() {
        MosquittoBroker broker;
        START_BROKER(broker);
        QTemporaryDir logs;
        const QString file = logs.filePath(EnergyMeter::fileNameFor(QStringLiteral("t1")));
        const auto runFor = [&](int seconds, double watts) {
            EnergyMeter meter(file);
            const QString problem = meter.load();
            MosquittoTransport transport;
            MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
            publisher.start(connectionTo(broker));
            for (int s = 0; s < seconds; ++s) {
                SecondSample sample = sampleWith(48);
                sample.outputPower = watts;
                meter.addSecond(sample.outputPower);
                publisher.publishSample(sample, meter.totalKwh());
            }
            const bool published =
                QTest::qWaitFor([&] { return publisher.isConnected() && publisher.pending() == 0; }, 10000);
            meter.save();
            publisher.stop(2000);
            return published ? problem : QStringLiteral("the state was not published within 10 s");
        };
        const auto retainedEnergy = [&] {
            MqttSubscriber later;
            QString error;
            if (!later.connectTo(broker.port(), {kState}, &error))
                return -1.0;
            if (!QTest::qWaitFor([&] { return later.lastRetained(kState); }, 5000))
                return -1.0;
            return QJsonDocument::fromJson(later.last(kState)).object().value("energy").toDouble(-1.0);
        };

        QCOMPARE(runFor(90, 1200.0), QString()); // 1200 W for 90 s: 30 Wh
        QCOMPARE(retainedEnergy(), 0.03);
        QCOMPARE(runFor(30, 0.0), QString()); // a restart, the turbine stopped: the total stays
        QCOMPARE(retainedEnergy(), 0.03);
        QCOMPARE(runFor(60, 600.0), QString()); // and grows again from there: 10 Wh more
        QCOMPARE(retainedEnergy(), 0.04);
    }

    // Two boards given the same client id throw each other off at every connection. The wait
    // before trying again grows instead of starting again at 1 s each time.
    void twoClientsWithOneIdDoNotHammerTheBroker() {
        MosquittoBroker broker;
        START_BROKER(broker);
        MosquittoTransport first;
        MosquittoTransport second;
        MqttPublisher a(first, PublishedMessages(QStringLiteral("a")));
        MqttPublisher b(second, PublishedMessages(QStringLiteral("b")));
        QSignalSpy connectionsA(&a, &MqttPublisher::connected);
        QSignalSpy connectionsB(&b, &MqttPublisher::connected);
        a.start(connectionTo(broker)); // the same client id
        QTRY_COMPARE_WITH_TIMEOUT(connectionsA.count(), 1, 10000);
        b.start(connectionTo(broker));
        QTest::qWait(12000);
        // Waits of 1, 1, 2, 2, 4, 4 s: about 7 connections in 12 s; a wait that started again
        // at 1 s after each would make about 13.
        const int connections = int(connectionsA.count() + connectionsB.count());
        qInfo("%d connections in 12 s", connections);
        QVERIFY2(connections >= 3, "both kept trying");
        QVERIFY2(connections <= 9, qPrintable(QString::number(connections)));
        a.stop(500);
        b.stop(500);
    }

    void noBrokerIsSaidSoAndStopDoesNotWait() {
        const int port = freeLocalPort();
        MqttConnection c;
        BrokerUrl::parse(QStringLiteral("mqtt://127.0.0.1:%1").arg(port), c.broker);
        c.clientId = QStringLiteral("velmora-test-none");
        MosquittoTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        QSignalSpy failures(&publisher, &MqttPublisher::connectionFailed);
        publisher.start(c);
        QTRY_VERIFY_WITH_TIMEOUT(failures.count() >= 1, 10000);
        QVERIFY2(failures.first().at(0).toString().startsWith(QLatin1String("cannot reach the broker")),
                 qPrintable(failures.first().at(0).toString()));
        QCOMPARE(failures.first().at(1).toBool(), false);
        QElapsedTimer stopping;
        stopping.start();
        publisher.stop(2000);
        QVERIFY(stopping.elapsed() < 2500);
    }
};

QTEST_GUILESS_MAIN(TestMosquittoTransport)
#include "tst_mosquittotransport.moc"

#include "FakeMqttTransport.h"
#include "publish/MqttPublisher.h"

#include <QSignalSpy>
#include <QTest>

namespace {

SecondSample sampleAt(int second) {
    SecondSample s;
    s.time = QDateTime(QDate(2026, 3, 14), QTime(10, 0, second), Qt::UTC);
    s.inputVoltage = 40.0 + second;
    return s;
}

int discoveryCount(const QVector<MqttMessage>& sent) {
    return int(std::count_if(sent.begin(), sent.end(), [](const MqttMessage& m) {
        return m.topic.startsWith(QLatin1String("homeassistant/"));
    }));
}

} // namespace

class TestMqttPublisher : public QObject {
    Q_OBJECT
private slots:
    void connectionAnnouncesOnlineThenDiscoveryThenStates() {
        FakeMqttTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        MqttConnection connection;
        connection.clientId = QStringLiteral("velmora-t1");
        QCOMPARE(publisher.start(connection), QString());
        QCOMPARE(transport.starts, 1);
        QCOMPARE(transport.connection.will, PublishedMessages(QStringLiteral("t1")).offline());
        QCOMPARE(transport.connection.subscriptions, QStringList{QStringLiteral("homeassistant/status")});

        publisher.publishSample(sampleAt(1)); // before the broker answers: waits
        QVERIFY(transport.sent.isEmpty());
        transport.brokerAccepts();
        const int configs = PublishedMessages(QStringLiteral("t1")).discovery().size();
        QCOMPARE(transport.sent.size(), 1 + configs + 1);
        QCOMPARE(transport.sent.first(), PublishedMessages(QStringLiteral("t1")).online());
        QCOMPARE(discoveryCount(transport.sent), configs);
        QCOMPARE(transport.sent.last().topic, QStringLiteral("velmora/t1/state"));

        publisher.publishSample(sampleAt(2)); // connected: straight through
        QCOMPARE(transport.sentOn(QStringLiteral("velmora/t1/state")).size(), 2);
    }

    void discoveryIsRepublishedAfterEveryReconnection() {
        FakeMqttTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        publisher.start({});
        transport.brokerAccepts();
        transport.brokerLost(QStringLiteral("connection lost"));
        QVERIFY(!publisher.isConnected());
        transport.brokerAccepts();
        const int configs = PublishedMessages(QStringLiteral("t1")).discovery().size();
        QCOMPARE(discoveryCount(transport.sent), 2 * configs);
        QCOMPARE(transport.sentOn(QStringLiteral("velmora/t1/status")).size(), 2);
    }

    void homeAssistantStartingGetsDiscoveryAndTheLastStateAgain() {
        FakeMqttTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        publisher.start({});
        transport.brokerAccepts();
        publisher.publishSample(sampleAt(5));
        LoggerHealth health;
        health.time = sampleAt(5).time;
        health.adapterConnected = true;
        publisher.publishHealth(health);
        const int configs = PublishedMessages(QStringLiteral("t1")).discovery().size();

        // Only Home Assistant's own "online" counts: not "offline", not another topic.
        transport.sent.clear();
        transport.brokerSends(QStringLiteral("homeassistant/status"), "offline");
        transport.brokerSends(QStringLiteral("velmora/t1/status"), "online");
        QVERIFY(transport.sent.isEmpty());

        transport.brokerSends(QStringLiteral("homeassistant/status"), "online");
        QCOMPARE(transport.sent.first(), PublishedMessages(QStringLiteral("t1")).online());
        QCOMPARE(discoveryCount(transport.sent), configs);
        const QVector<MqttMessage> states = transport.sentOn(QStringLiteral("velmora/t1/state"));
        QCOMPARE(states.size(), 1);
        QVERIFY(states.first().payload.contains("\"input_voltage\":45"));
        QCOMPARE(transport.sentOn(QStringLiteral("velmora/t1/health")).size(), 1);
    }

    void withoutDiscoveryNothingIsAnnouncedNorListenedTo() {
        FakeMqttTransport transport;
        PublishingNames names{QStringLiteral("t1")};
        names.discovery = false;
        MqttPublisher publisher(transport, PublishedMessages(names));
        publisher.start({});
        QVERIFY(transport.connection.subscriptions.isEmpty());
        transport.brokerAccepts();
        transport.brokerSends(QStringLiteral("homeassistant/status"), "online");
        QCOMPARE(discoveryCount(transport.sent), 0);
        QCOMPARE(transport.sentOn(QStringLiteral("velmora/t1/status")).size(), 1);
    }

    void afterAnOutageOnlyTheNewestStateIsPublished() {
        FakeMqttTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        QSignalSpy dropped(&publisher, &MqttPublisher::statesDropped);
        publisher.start({});
        transport.brokerAccepts();
        transport.brokerLost(QStringLiteral("connection lost"));
        for (int s = 0; s < 12; ++s)
            publisher.publishSample(sampleAt(s));
        QCOMPARE(publisher.pending(), 1); // memory stays flat however long the outage
        QCOMPARE(dropped.count(), 0);     // told when the broker is back, not every second
        transport.sent.clear();
        transport.brokerAccepts();
        QCOMPARE(publisher.pending(), 0);
        const QVector<MqttMessage> states = transport.sentOn(QStringLiteral("velmora/t1/state"));
        QCOMPARE(states.size(), 1);
        QVERIFY(states.first().payload.contains("\"input_voltage\":51")); // second 11, the newest
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.first().first().toULongLong(), 11ULL);
        // Counted again from zero for the next outage.
        transport.brokerLost(QStringLiteral("connection lost"));
        publisher.publishSample(sampleAt(20));
        transport.brokerAccepts();
        QCOMPARE(dropped.count(), 1);
    }

    void stateIntervalPublishesTheFirstSecondThenOneInN() {
        FakeMqttTransport transport;
        PublishingNames names{QStringLiteral("t1")};
        names.stateIntervalSeconds = 5;
        MqttPublisher publisher(transport, PublishedMessages(names));
        publisher.start({});
        transport.brokerAccepts();
        for (int s = 0; s < 12; ++s)
            publisher.publishSample(sampleAt(s));
        const QVector<MqttMessage> states = transport.sentOn(QStringLiteral("velmora/t1/state"));
        QCOMPARE(states.size(), 3); // seconds 0, 5 and 10
        QVERIFY(states[1].payload.contains("\"input_voltage\":45"));
        QVERIFY(states[2].payload.contains("\"input_voltage\":50"));
    }

    void energyIsPublishedWithTheStateAndNullWhileUnknown() {
        FakeMqttTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        publisher.start({});
        transport.brokerAccepts();
        publisher.publishSample(sampleAt(1));
        publisher.publishSample(sampleAt(2), 12.34567);
        const QVector<MqttMessage> states = transport.sentOn(QStringLiteral("velmora/t1/state"));
        QVERIFY(states[0].payload.contains("\"energy\":null"));
        QVERIFY(states[1].payload.contains("\"energy\":12.3457"));
    }

    void setUpFailuresAreToldNotRetried() {
        FakeMqttTransport transport;
        transport.setupProblem = QStringLiteral("TLS set-up failed: no such file");
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        QCOMPARE(publisher.start({}), transport.setupProblem);
        QSignalSpy setup(&publisher, &MqttPublisher::setupFailed);
        emit transport.setupFailed(QStringLiteral("TLS set-up failed: the key cannot be used"));
        QCOMPARE(setup.count(), 1);
        publisher.stop(100);
        QVERIFY(!transport.stopped); // never started: nothing to stop
    }

    void removalClearsEveryConfigurationAndSaysSoOnce() {
        FakeMqttTransport transport;
        PublishingNames names{QStringLiteral("t1")};
        names.stableKey = QStringLiteral("usb-ftdi_a10k-if00-port0");
        MqttPublisher publisher(transport, PublishedMessages(names));
        QSignalSpy removed(&publisher, &MqttPublisher::discoveryRemoved);
        publisher.startRemoval({});
        publisher.publishSample(sampleAt(1)); // a removal run publishes nothing else
        transport.brokerAccepts();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(transport.sent.size(), PublishedMessages(names).discoveryRemoval().size());
        for (const MqttMessage& m : transport.sent) {
            QVERIFY2(m.topic.startsWith(QLatin1String("homeassistant/")), qPrintable(m.topic));
            QVERIFY(m.payload.isEmpty());
            QVERIFY(m.retain);
        }
        // Nothing says the installation is offline: its logger may be running elsewhere.
        QVERIFY(transport.connection.will.topic.isEmpty());
        publisher.stop(1000);
        QVERIFY(transport.stopped);
        QVERIFY(transport.sentOn(QStringLiteral("velmora/t1/status")).isEmpty());
        // Both the configurations under the adapter's key and those older versions put under the id.
        QVERIFY(!transport.sentOn(QStringLiteral("homeassistant/sensor/t1/speed/config")).isEmpty());
        QVERIFY(
            !transport.sentOn(QStringLiteral("homeassistant/sensor/usb-ftdi_a10k-if00-port0/speed/config"))
                 .isEmpty());
    }

    void aBusyTransportKeepsOnlyTheNewestStateWaiting() {
        FakeMqttTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        publisher.start({});
        transport.brokerAccepts();
        transport.sent.clear();
        transport.room = 1;
        publisher.publishSample(sampleAt(1));
        publisher.publishSample(sampleAt(2));
        publisher.publishSample(sampleAt(3));
        QCOMPARE(transport.sent.size(), 1);
        QCOMPARE(publisher.pending(), 1);
        transport.room = -1;
        publisher.publishSample(sampleAt(4));
        const QVector<MqttMessage> states = transport.sentOn(QStringLiteral("velmora/t1/state"));
        QCOMPARE(states.size(), 2);
        QVERIFY(states[0].payload.contains("\"input_voltage\":41"));
        QVERIFY(states[1].payload.contains("\"input_voltage\":44"));
        QCOMPARE(publisher.pending(), 0);
    }

    void sameFailureIsToldOnceUntilConnected() {
        FakeMqttTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        QSignalSpy failures(&publisher, &MqttPublisher::connectionFailed);
        publisher.start({});
        transport.brokerLost(QStringLiteral("not authorised"), true);
        transport.brokerLost(QStringLiteral("not authorised"), true);
        transport.brokerLost(QStringLiteral("not authorised"), true);
        QCOMPARE(failures.count(), 1);
        QCOMPARE(failures.first().at(1).toBool(), true);
        transport.brokerAccepts();
        transport.brokerLost(QStringLiteral("not authorised"), true);
        QCOMPARE(failures.count(), 2);
    }

    void stopSaysOfflineOnce() {
        FakeMqttTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")));
        publisher.start({});
        transport.brokerAccepts();
        publisher.stop(1500);
        publisher.stop(1500);
        QVERIFY(transport.stopped);
        QCOMPARE(transport.stopTimeoutMs, 1500);
        const QVector<MqttMessage> status = transport.sentOn(QStringLiteral("velmora/t1/status"));
        QCOMPARE(status.size(), 2);
        QCOMPARE(status.last().payload, QByteArray("offline"));
    }
};

QTEST_GUILESS_MAIN(TestMqttPublisher)
#include "tst_mqttpublisher.moc"

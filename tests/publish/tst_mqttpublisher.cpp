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
        publisher.start(connection);
        QCOMPARE(transport.starts, 1);
        QCOMPARE(transport.connection.will, PublishedMessages(QStringLiteral("t1")).offline());

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

    void outageKeepsTheNewestSecondsAndTellsWhatWasDropped() {
        FakeMqttTransport transport;
        MqttPublisher publisher(transport, PublishedMessages(QStringLiteral("t1")), 5);
        QSignalSpy dropped(&publisher, &MqttPublisher::statesDropped);
        publisher.start({});
        transport.brokerAccepts();
        transport.brokerLost(QStringLiteral("connection lost"));
        for (int s = 0; s < 12; ++s)
            publisher.publishSample(sampleAt(s));
        QCOMPARE(publisher.queued(), 5);
        QCOMPARE(dropped.count(), 0); // told when the broker is back, not every second
        transport.sent.clear();
        transport.brokerAccepts();
        QCOMPARE(publisher.queued(), 0);
        const QVector<MqttMessage> states = transport.sentOn(QStringLiteral("velmora/t1/state"));
        QCOMPARE(states.size(), 5);
        QVERIFY(states.first().payload.contains("\"input_voltage\":47")); // second 7, the oldest kept
        QVERIFY(states.last().payload.contains("\"input_voltage\":51"));
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.first().first().toULongLong(), 7ULL);
        QCOMPARE(publisher.droppedTotal(), 7ULL);
    }

    void aBusyTransportKeepsTheRestInOrder() {
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
        QCOMPARE(publisher.queued(), 2);
        transport.room = -1;
        publisher.publishSample(sampleAt(4));
        const QVector<MqttMessage> states = transport.sentOn(QStringLiteral("velmora/t1/state"));
        QCOMPARE(states.size(), 4);
        for (int i = 0; i < 4; ++i)
            QVERIFY(
                states[i].payload.contains(QByteArray("\"input_voltage\":") + QByteArray::number(41 + i)));
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

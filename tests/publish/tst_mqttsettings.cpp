#include "publish/BrokerUrl.h"
#include "publish/MqttId.h"
#include "publish/OutgoingQueue.h"

#include <QTest>

class TestMqttSettings : public QObject {
    Q_OBJECT
private slots:
    void brokerAddresses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("good");
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("plain, default port") << "mqtt://broker.local" << true << false << ""
                                             << "broker.local" << 1883;
        QTest::newRow("user and port") << "mqtt://velmora@10.0.0.2:1884" << true << false << "velmora"
                                       << "10.0.0.2" << 1884;
        QTest::newRow("tls, default port") << "mqtts://hub.example.org" << true << true << ""
                                           << "hub.example.org" << 8883;
        QTest::newRow("ipv6") << "mqtt://[::1]:1999" << true << false << ""
                              << "::1" << 1999;
        QTest::newRow("trailing slash") << "mqtt://h/" << true << false << ""
                                        << "h" << 1883;
        QTest::newRow("password in the address") << "mqtt://u:secret@h" << false << false << ""
                                                 << "" << 0;
        QTest::newRow("other scheme") << "http://h" << false << false << ""
                                      << "" << 0;
        QTest::newRow("no scheme") << "h:1883" << false << false << ""
                                   << "" << 0;
        QTest::newRow("no host") << "mqtt://:1883" << false << false << ""
                                 << "" << 0;
        QTest::newRow("port zero") << "mqtt://h:0" << false << false << ""
                                   << "" << 0;
        QTest::newRow("port too big") << "mqtt://h:70000" << false << false << ""
                                      << "" << 0;
        QTest::newRow("path") << "mqtt://h/topic" << false << false << ""
                              << "" << 0;
        QTest::newRow("empty") << "" << false << false << ""
                               << "" << 0;
    }
    void brokerAddresses() {
        QFETCH(QString, text);
        QFETCH(bool, good);
        BrokerUrl url;
        const QString error = BrokerUrl::parse(text, url);
        QCOMPARE(error.isEmpty(), good);
        if (!good)
            return;
        QFETCH(bool, tls);
        QFETCH(QString, user);
        QFETCH(QString, host);
        QFETCH(int, port);
        QCOMPARE(url.tls, tls);
        QCOMPARE(url.user, user);
        QCOMPARE(url.host, host);
        QCOMPARE(url.port, port);
    }

    void passwordInTheAddressIsSentToTheFile() {
        BrokerUrl url;
        QVERIFY(BrokerUrl::parse(QStringLiteral("mqtt://u:secret@h"), url)
                    .contains(QLatin1String("--mqtt-password-file")));
    }

    void idFromTheAdapterName_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("id");
        QTest::newRow("system name") << "ttyUSB0"
                                     << "ttyusb0";
        QTest::newRow("path") << "/dev/ttyUSB1"
                              << "ttyusb1";
        QTest::newRow("by-id path") << "/dev/serial/by-id/usb-FTDI_FT232R_A10K-if00-port0"
                                    << "usb-ftdi_ft232r_a10k-if00-port0";
        QTest::newRow("macOS") << "cu.usbserial-A10K"
                               << "cu_usbserial-a10k";
        QTest::newRow("demo") << "Demo installation"
                              << "demo_installation";
        QTest::newRow("topic wildcards") << "a+b#c"
                                         << "a_b_c";
        QTest::newRow("nothing usable") << "/dev/+++"
                                        << "velmora";
    }
    void idFromTheAdapterName() {
        QFETCH(QString, device);
        QFETCH(QString, id);
        QCOMPARE(MqttId::fromDeviceName(device), id);
        QVERIFY(MqttId::isValid(id));
    }

    void idGivenByTheUser_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "turbine-2_north" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("wildcard") << "a+" << false;
        QTest::newRow("space") << "a b" << false;
        QTest::newRow("too long") << QString(65, QLatin1Char('a')) << false;
    }
    void idGivenByTheUser() {
        QFETCH(QString, id);
        QFETCH(bool, valid);
        QCOMPARE(MqttId::isValid(id), valid);
    }

    void fullQueueDropsTheOldestAndCounts() {
        OutgoingQueue queue(3);
        for (int i = 1; i <= 5; ++i)
            queue.push({QStringLiteral("t"), QByteArray::number(i), true, 0});
        QCOMPARE(queue.size(), 3);
        QCOMPARE(queue.front().payload, QByteArray("3"));
        QCOMPARE(queue.takeDropped(), quint64(2));
        QCOMPARE(queue.takeDropped(), quint64(0)); // told once
        queue.push({QStringLiteral("t"), "6", true, 0});
        QCOMPARE(queue.droppedTotal(), quint64(3));
    }
};

QTEST_GUILESS_MAIN(TestMqttSettings)
#include "tst_mqttsettings.moc"

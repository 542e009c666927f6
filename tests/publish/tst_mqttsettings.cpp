#include "publish/BrokerUrl.h"
#include "publish/MqttClientId.h"
#include "publish/MqttId.h"
#include "publish/PendingMessages.h"
#include "publish/ReconnectBackOff.h"

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

    void pendingKeepsTheNewestOfEachTopicInFirstOrder() {
        PendingMessages pending;
        QVERIFY(!pending.put({QStringLiteral("state"), "1", true, 0}));
        QVERIFY(!pending.put({QStringLiteral("health"), "h1", true, 0}));
        QVERIFY(pending.put({QStringLiteral("state"), "2", true, 0}));
        QVERIFY(pending.put({QStringLiteral("state"), "3", true, 0}));
        QCOMPARE(pending.size(), 2);
        QCOMPARE(pending.front(), (MqttMessage{QStringLiteral("state"), "3", true, 0}));
        pending.pop();
        QCOMPARE(pending.front().payload, QByteArray("h1"));
        pending.pop();
        QVERIFY(pending.isEmpty());
    }

    void stableKeyFollowsTheAdapterNotItsSocket_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("byId");
        QTest::addColumn<QString>("key");
        QTest::newRow("ttyUSB0 with a by-id name") << "ttyUSB0"
                                                   << "usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0"
                                                   << "usb-ftdi_ft232r_usb_uart_a10k1234-if00-port0";
        QTest::newRow("same adapter as ttyUSB3") << "/dev/ttyUSB3"
                                                 << "usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0"
                                                 << "usb-ftdi_ft232r_usb_uart_a10k1234-if00-port0";
        QTest::newRow("by-id path given") << "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0"
                                          << "usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0"
                                          << "usb-ftdi_ft232r_usb_uart_a10k1234-if00-port0";
        QTest::newRow("second port of the adapter") << "ttyUSB1"
                                                    << "usb-FTDI_Quad_B7-if01-port0"
                                                    << "usb-ftdi_quad_b7-if01-port0";
        QTest::newRow("no by-id name") << "/dev/pts/4"
                                       << ""
                                       << "4";
        QTest::newRow("demo") << "Demo installation"
                              << ""
                              << "demo_installation";
    }
    void stableKeyFollowsTheAdapterNotItsSocket() {
        QFETCH(QString, device);
        QFETCH(QString, byId);
        QFETCH(QString, key);
        QCOMPARE(MqttId::stableKey(device, byId), key);
    }

    void topicRoots_data() {
        QTest::addColumn<QString>("root");
        QTest::addColumn<bool>("valid");
        QTest::newRow("default") << "velmora" << true;
        QTest::newRow("two levels") << "site-3/velmora" << true;
        QTest::newRow("dots") << "home.hydro" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("empty level") << "a//b" << false;
        QTest::newRow("leading slash") << "/velmora" << false;
        QTest::newRow("trailing slash") << "velmora/" << false;
        QTest::newRow("wildcard") << "velmora/#" << false;
        QTest::newRow("single wildcard") << "a/+/b" << false;
        QTest::newRow("system topic") << "$SYS" << false;
        QTest::newRow("space") << "my velmora" << false;
    }
    void topicRoots() {
        QFETCH(QString, root);
        QFETCH(bool, valid);
        QCOMPARE(MqttId::isValidTopicRoot(root), valid);
    }

    void clientIdNamesHostAndInstallationWithinWhatEveryBrokerTakes_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("clientId");
        QTest::newRow("short") << "pi"
                               << "t7"
                               << "velmora-pi-t7";
        QTest::newRow("domain dropped, _ to -") << "pi.local"
                                                << "demo_inst"
                                                << "velmora-pi-demo-inst";
        QTest::newRow("exactly 23") << "turbine"
                                    << "north-1"
                                    << "velmora-turbine-north-1";
    }
    void clientIdNamesHostAndInstallationWithinWhatEveryBrokerTakes() {
        QFETCH(QString, host);
        QFETCH(QString, id);
        QFETCH(QString, clientId);
        QCOMPARE(MqttClientId::defaultFor(host, id), clientId);
    }

    void longClientIdsStayDistinct() {
        const QString byId = QStringLiteral("usb-ftdi_ft232r_usb_uart_a10k1234-if00-port0");
        const QString a = MqttClientId::defaultFor(QStringLiteral("raspberrypi"), byId);
        const QString b = MqttClientId::defaultFor(
            QStringLiteral("raspberrypi"), QStringLiteral("usb-ftdi_ft232r_usb_uart_a10k9999-if00-port0"));
        const QString c = MqttClientId::defaultFor(QStringLiteral("raspberrypi2"), byId);
        QCOMPARE(a.size(), MqttClientId::kMaxLength);
        QVERIFY(a.startsWith(QLatin1String("velmora-raspberr"))); // as much of the name as fits
        QVERIFY(a != b);
        QVERIFY(a != c);
        QCOMPARE(a, MqttClientId::defaultFor(QStringLiteral("raspberrypi"), byId)); // same at every start
        for (const QChar ch : a)
            QVERIFY(ch.isLetterOrNumber() || ch == QLatin1Char('-'));
    }

    void clientIdsGivenByTheUser_data() {
        QTest::addColumn<QString>("clientId");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "hydro-north" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("space") << "a b" << false;
        QTest::newRow("too long") << QString(129, QLatin1Char('a')) << false;
        QTest::newRow("not ASCII") << QString::fromUtf8("turbine-é") << false;
    }
    void clientIdsGivenByTheUser() {
        QFETCH(QString, clientId);
        QFETCH(bool, valid);
        QCOMPARE(MqttClientId::isValid(clientId), valid);
    }

    void backOffGrowsAndOnlyAStableConnectionStartsItAgain() {
        ReconnectBackOff backOff;
        QList<int> delays;
        for (int i = 0; i < 7; ++i)
            delays.append(backOff.nextDelaySeconds());
        QCOMPARE(delays, (QList<int>{1, 2, 4, 8, 16, 30, 30}));
        // Thrown off after 5 s (another board with the same client id): the wait keeps growing.
        backOff.connectionEnded(5000);
        QCOMPARE(backOff.nextDelaySeconds(), 30);
        backOff.connectionEnded(ReconnectBackOff::kStableConnectionMs - 1);
        QCOMPARE(backOff.nextDelaySeconds(), 30);
        // A minute of connection: the broker was really there, try again soon.
        backOff.connectionEnded(ReconnectBackOff::kStableConnectionMs);
        QCOMPARE(backOff.nextDelaySeconds(), 1);
        QCOMPARE(backOff.nextDelaySeconds(), 2);
    }
};

QTEST_GUILESS_MAIN(TestMqttSettings)
#include "tst_mqttsettings.moc"

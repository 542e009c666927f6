// --demo: the demo installation in the device list and the port that routes to it.
#include "FakeSerialPort.h"
#include "Hex.h"
#include "sim/DemoDevice.h"

#include <QSignalSpy>
#include <QTest>

class TestDemoDevice : public QObject {
    Q_OBJECT
private slots:
    void demoInstallationIsListedLast_data();
    void demoInstallationIsListedLast();
    void openingRoutesByDevice_data();
    void openingRoutesByDevice();
    void onlyTheOpenedPortIsHeard();
    void nothingOpenedIsHarmless();
};

void TestDemoDevice::demoInstallationIsListedLast_data() {
    QTest::addColumn<QStringList>("system");
    QTest::newRow("no adapter") << QStringList{};
    QTest::newRow("two adapters") << QStringList{"ttyUSB0", "cu.usbserial-FT1234"};
}

void TestDemoDevice::demoInstallationIsListedLast() {
    QFETCH(QStringList, system);
    FakeDeviceList devices;
    devices.setNames(system);
    const QVector<SerialDevice> listed = DemoDeviceList(devices).devices();
    QCOMPARE(listed.size(), system.size() + 1);
    for (int i = 0; i < system.size(); ++i)
        QCOMPARE(listed[i].name, system[i]);
    QCOMPARE(listed.last().name, QStringLiteral("Demo installation"));
    QCOMPARE(listed.last().location, DemoDevice::location());
}

void TestDemoDevice::openingRoutesByDevice_data() {
    QTest::addColumn<bool>("demo");
    QTest::newRow("demo installation") << true;
    QTest::newRow("adapter") << false;
}

void TestDemoDevice::openingRoutesByDevice() {
    QFETCH(bool, demo);
    FakeSerialPort real, simulated;
    DemoRoutingSerialPort port(real, simulated);
    const SerialDevice device = demo ? DemoDevice::device() : SerialDevice{"ttyUSB0", "/dev/ttyUSB0"};
    QVERIFY(port.open(device));
    FakeSerialPort& opened = demo ? simulated : real;
    FakeSerialPort& other = demo ? real : simulated;
    QCOMPARE(opened.openCount, 1);
    QCOMPARE(other.openCount, 0);
    QCOMPARE(opened.openedDevice.location, device.location);

    opened.feed(hexBytes("00 01 10 10 01"), false);
    QCOMPARE(port.bytesAvailable(), qint64(5));
    QCOMPARE(port.peekAll(), hexBytes("00 01 10 10 01"));
    QCOMPARE(port.read(2), hexBytes("00 01"));
    QCOMPARE(port.write(hexBytes("12 11 48 02 00 6D")), qint64(6));
    QCOMPARE(opened.writes, QList<QByteArray>{hexBytes("12 11 48 02 00 6D")});
    QVERIFY(other.writes.isEmpty());
    QVERIFY(port.isOpen());
    port.close();
    QVERIFY(!port.isOpen());
    QCOMPARE(opened.closeCount, 1);

    // A failed opening is reported as such.
    opened.failOpen = true;
    QVERIFY(!port.open(device));
}

void TestDemoDevice::onlyTheOpenedPortIsHeard() {
    FakeSerialPort real, simulated;
    DemoRoutingSerialPort port(real, simulated);
    QSignalSpy data(&port, &SerialPort::dataReceived);
    QSignalSpy errors(&port, &SerialPort::errorOccurred);
    port.open({"ttyUSB0", "/dev/ttyUSB0"});
    port.close();
    port.open(DemoDevice::device()); // switching device closes the adapter's port
    QCOMPARE(real.closeCount, 2);
    real.feed(hexBytes("00"));
    real.raiseError();
    QCOMPARE(data.count(), 0);
    QCOMPARE(errors.count(), 0);
    simulated.feed(hexBytes("00"));
    simulated.raiseError(QStringLiteral("gone"));
    QCOMPARE(data.count(), 1);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors[0][0].toString(), QStringLiteral("gone"));
}

void TestDemoDevice::nothingOpenedIsHarmless() {
    FakeSerialPort real, simulated;
    DemoRoutingSerialPort port(real, simulated);
    port.close();
    QVERIFY(!port.isOpen());
    QCOMPARE(port.bytesAvailable(), qint64(0));
    QCOMPARE(port.read(10), QByteArray());
    QCOMPARE(port.write(hexBytes("12 11 48 02 00 6D")), qint64(-1));
}

QTEST_GUILESS_MAIN(TestDemoDevice)
#include "tst_demodevice.moc"

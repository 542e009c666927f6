// The in-process serial port served by the simulated installation.
#include "Hex.h"
#include "ManualTimeline.h"
#include "link/Frame.h"
#include "sim/SimulatedSerialPort.h"

#include <QSignalSpy>
#include <QTest>

class TestSimulatedSerialPort : public QObject {
    Q_OBJECT
private slots:
    void deliversTheLineWhileOpen();
    void commandsReachTheHpu();
    void closedPortIsQuietAndRefusesWrites();
    void devicesKeepTheirStateAcrossReopening();
};

void TestSimulatedSerialPort::deliversTheLineWhileOpen() {
    ManualTimeline timeline;
    SimulatedSerialPort port(timeline, timeline);
    QSignalSpy received(&port, &SerialPort::dataReceived);
    QVERIFY(!port.isOpen());
    QVERIFY(port.open({QStringLiteral("Demo installation"), QString()}));
    QVERIFY(port.isOpen());
    timeline.advance(10);
    QVERIFY(received.count() > 0);
    timeline.advance(15);
    QCOMPARE(port.bytesAvailable(), qint64(20));
    const QByteArray frame = port.peekAll();
    QVERIFY(frame.startsWith(hexBytes("00 01 10 10")));
    QCOMPARE(port.read(4), hexBytes("00 01 10 10"));
    QCOMPARE(port.read(100), frame.mid(4));
    QCOMPARE(port.bytesAvailable(), qint64(0));
}

void TestSimulatedSerialPort::commandsReachTheHpu() {
    ManualTimeline timeline;
    SimulatedSerialPort port(timeline, timeline);
    port.open({});
    timeline.advance(171);
    QCOMPARE(port.write(hexBytes("12 11 4C 02 00 71")), qint64(6));
    QCOMPARE(port.installation().commands().size(), 1);
    QCOMPARE(port.installation().commands()[0].delayMs, qint64(150));
    port.read(port.bytesAvailable());
    timeline.advance(60);
    QVERIFY(port.peekAll().contains(hexBytes("00 12 4C 21")));
}

void TestSimulatedSerialPort::closedPortIsQuietAndRefusesWrites() {
    ManualTimeline timeline;
    SimulatedSerialPort port(timeline, timeline);
    QCOMPARE(port.write(hexBytes("12 11 48 02 00 6D")), qint64(-1));
    port.open({});
    timeline.advance(10); // half a frame buffered
    port.close();
    port.close(); // harmless twice
    QVERIFY(!port.isOpen());
    QCOMPARE(port.bytesAvailable(), qint64(0));
    QSignalSpy received(&port, &SerialPort::dataReceived);
    timeline.advance(2000);
    QCOMPARE(received.count(), 0);
    QCOMPARE(port.bytesAvailable(), qint64(0));
    QCOMPARE(port.write(hexBytes("12 11 48 02 00 6D")), qint64(-1));
    QVERIFY(port.installation().commands().isEmpty());
}

void TestSimulatedSerialPort::devicesKeepTheirStateAcrossReopening() {
    ManualTimeline timeline;
    SimulatedSerialPort port(timeline, timeline);
    port.open({});
    timeline.advance(171);
    port.write(Frame::withChecksum(hexBytes("12 11 45 05 1E 02 58"))); // PRESSION_MAX 6.00 bar
    timeline.advance(100);
    port.close();
    timeline.advance(1000);
    port.open({});
    QCOMPARE(port.bytesAvailable(), qint64(0)); // nothing left over from before
    timeline.advance(171);
    port.write(hexBytes("12 11 4C 02 00 71"));
    timeline.advance(100);
    const QByteArray line = port.peekAll();
    const int at = int(line.indexOf(hexBytes("00 12 4C 21")));
    QVERIFY(at >= 0);
    QCOMPARE(hexString(line.mid(at + 5, 2)), QStringLiteral("02 58"));
}

QTEST_GUILESS_MAIN(TestSimulatedSerialPort)
#include "tst_simulatedserialport.moc"

// The serial adapter vanishing under the tool, in the middle of a frame and in the middle of
// a command: what the user sees, and that the tool carries on once the adapter is back.
// Each fault is played twice: on the scripted port (every step under control) and on a
// pseudo-terminal whose other end is closed, read and written by the real Qt serial port.
#include "FakeSerialPort.h"
#include "Hex.h"
#include "TestPlatform.h"
#include "core/Captions.h"
#include "monitor/Monitor.h"
#include "core/NumberMask.h"
#include "link/Frame.h"
#include "link/QtSerialPort.h"

#ifdef Q_OS_UNIX
#include "PseudoTerminal.h"
#endif

#include <QTest>

namespace {

const QByteArray kPumpCommand = hexBytes("12 11 48 02 00 6D");
const QString kSentTrace = QStringLiteral(" j'emets une trame  \n");

// A version 2 converter frame with the input voltage in tenths of a volt.
QByteArray converterFrame(int inputDecivolts) {
    QByteArray frame = hexBytes("00 01 10 10");
    frame.append(char((inputDecivolts >> 8) & 0xFF));
    frame.append(char(inputDecivolts & 0xFF));
    frame.append(hexBytes("6A AE 14 00 00 00 01 60 03 F5 00 00"));
    return Frame::withChecksum(frame);
}

QString volts(double value) {
    return formatMask(value, QStringLiteral("0.00"));
}
QString disconnectCaption() {
    return App::text(App::Caption::kUnconnectCaption);
}
QString connectCaption() {
    return App::text(App::Caption::kConnectCaption);
}

// A scripted adapter that can vanish: closing drops what the driver had buffered, as a real
// port does, and a vanished adapter fails its writes with an error event.
class VanishingPort : public FakeSerialPort {
public:
    void close() override {
        FakeSerialPort::close();
        read(bytesAvailable());
    }
    qint64 write(const QByteArray& bytes) override {
        if (gone) {
            raiseError(QStringLiteral("Input/output error"));
            return -1;
        }
        return FakeSerialPort::write(bytes);
    }
    bool gone = false;
};

// The monitor on the test doubles, with the given port as SerialConnection1, connected to
// the one device "rs485".
struct Installation {
    explicit Installation(SerialPort& port, const QString& location = QStringLiteral("/dev/rs485"))
        : monitor(Platform{doubles.timeline, doubles.timeline, doubles.timeline, port, doubles.devices,
                           doubles.notifier, doubles.sound, doubles.resources, doubles.userFolders}) {
        doubles.devices.list = {{QStringLiteral("rs485"), location}};
        monitor.setLogChecked(false);
        doubles.timeline.advance(500);
        monitor.ConnectButton_Action();
        // Every text the input voltage label has shown, as the user saw it.
        QObject::connect(&monitor, &Monitor::changed, [this] {
            const LabelState& label = monitor.controls().LabelValue_Uin;
            const QString shown = label.visible ? label.text : QStringLiteral("(hidden)");
            if (uinShown.isEmpty() || uinShown.last() != shown)
                uinShown.append(shown);
        });
    }
    // The user presses "Disconnect", then "Connect" on the device now at location.
    void reconnect(const QString& location) {
        QCOMPARE(monitor.controls().ConnectButton.caption, disconnectCaption());
        monitor.ConnectButton_Action();
        QCOMPARE(monitor.controls().ConnectButton.caption, connectCaption());
        doubles.devices.list[0].location = location;
        monitor.ConnectButton_Action();
        QCOMPARE(monitor.controls().ConnectButton.caption, disconnectCaption());
    }
    // The time a converter frame from a real adapter will be stamped with once decoded: a
    // millisecond after the one before, so a test can wait for each.
    qint64 nextStamp() {
        doubles.timeline.jump(1);
        return doubles.timeline.elapsedMs();
    }
    qint64 lastStamp() const { return monitor.state().timeLastDataCV; }
    bool shows(double uin) const {
        const LabelState& label = monitor.controls().LabelValue_Uin;
        return label.visible && label.text == volts(uin);
    }

    TestPlatform doubles;
    Monitor monitor;
    QStringList uinShown;
};

} // namespace

class TestPortFaults : public QObject {
    Q_OBJECT
private slots:
    // The adapter is pulled out while a converter frame is half received. The user sees the
    // connected window unchanged (no message: a single error only closes the port), then the
    // values disappear once the converter has been silent for 3 s. After "Disconnect" and
    // "Connect" the values come back, and no value mixed from the two halves ever shows.
    void adapterVanishesMidFrame_valuesHiddenThenBackAfterReconnection() {
        VanishingPort port;
        Installation site(port);
        port.feed(converterFrame(485));
        QVERIFY(site.shows(48.5));

        port.feed(converterFrame(485).left(9));
        QCOMPARE(site.monitor.state().StatutRS485, StatutRS485::Body); // waiting for the rest of the frame
        port.raiseError(QStringLiteral("No such device"));

        QVERIFY(!port.isOpen());
        QVERIFY(site.doubles.notifier.messages.isEmpty());
        QCOMPARE(site.monitor.controls().ConnectButton.caption, disconnectCaption());
        site.doubles.timeline.advance(3500);
        QVERIFY(!site.monitor.controls().LabelValue_Uin.visible);
        QCOMPARE(site.monitor.state().U_in, -1.0);

        site.reconnect(QStringLiteral("/dev/rs485"));
        QVERIFY(port.isOpen());
        for (int i = 0; i < 3; ++i) {
            port.feed(converterFrame(500));
        }
        QVERIFY(site.shows(50.0));
        QCOMPARE(site.uinShown, (QStringList{volts(48.5), QStringLiteral("(hidden)"), volts(50.0)}));
    }

    // The adapter vanishes as the pump command is being written. The write fails: the raw
    // stream does not claim it was sent, the command stays pending, and it goes out exactly
    // once in the gap after the first converter frame once the user has reconnected.
    void adapterVanishesMidWrite_commandKeptAndSentAfterReconnection() {
        VanishingPort port;
        Installation site(port);
        site.monitor.PompeButton_Action();
        port.gone = true;
        port.feed(converterFrame(485));
        site.doubles.timeline.advance(200); // the emission tick meets the vanished adapter

        QVERIFY(port.writes.isEmpty());
        QVERIFY(!port.isOpen());
        QVERIFY(!site.monitor.trace().text().contains(kSentTrace));
        QVERIFY(site.monitor.state().emissionRequest);
        QVERIFY(site.doubles.notifier.messages.isEmpty());
        QCOMPARE(site.monitor.controls().ConnectButton.caption, disconnectCaption());

        port.gone = false;
        site.reconnect(QStringLiteral("/dev/rs485"));
        for (int i = 0; i < 3; ++i) {
            port.feed(converterFrame(485));
            site.doubles.timeline.advance(200);
        }
        QCOMPARE(port.writes, QList<QByteArray>{kPumpCommand});
        QVERIFY(site.monitor.trace().text().contains(kSentTrace));
        QVERIFY(!site.monitor.state().emissionRequest);
    }

#ifdef Q_OS_UNIX
    // As above on a pseudo-terminal: the operating system reports the closed end again and
    // again; the first report closes the port, so one error is counted and no message shows.
    void ptyClosedMidFrame_valuesHiddenThenBackOnTheNewDevice() {
        PseudoTerminal adapter;
        if (!adapter.isValid())
            QSKIP(qPrintable(QStringLiteral("no pseudo-terminal: ") + adapter.errorString()));
        QtSerialPort port;
        Installation site(port, adapter.devicePath());
        QVERIFY2(port.isOpen(), qPrintable(site.doubles.notifier.messages.join(QLatin1Char('|'))));
        QCOMPARE(adapter.lineSettings(), QStringLiteral("9600 8N1, raw"));

        const qint64 stamp = site.nextStamp();
        QVERIFY(adapter.send(converterFrame(485)));
        QTRY_COMPARE(site.lastStamp(), stamp);
        QVERIFY(site.shows(48.5));

        QVERIFY(adapter.send(converterFrame(485).left(9)));
        // The header read, the rest of the frame awaited.
        QTRY_COMPARE(site.monitor.state().StatutRS485, StatutRS485::Body);
        adapter.vanish();
        QTRY_VERIFY(!port.isOpen());
        QTest::qWait(50); // later reports of the same fault, if any, arrive now
        QCOMPARE(site.monitor.state().serial_count_errors, qint64(1));
        QVERIFY(site.doubles.notifier.messages.isEmpty());
        QCOMPARE(site.monitor.controls().ConnectButton.caption, disconnectCaption());
        site.doubles.timeline.advance(3500);
        QVERIFY(!site.monitor.controls().LabelValue_Uin.visible);

        PseudoTerminal replugged;
        QVERIFY(replugged.isValid());
        site.reconnect(replugged.devicePath());
        QVERIFY(port.isOpen());
        QCOMPARE(replugged.lineSettings(), QStringLiteral("9600 8N1, raw"));
        // The first frame completes the one cut (and fails its checksum); the next are read.
        for (int i = 0; i < 3; ++i) {
            QVERIFY(replugged.send(converterFrame(500)));
            QTest::qWait(20); // each frame reaches the port by itself
        }
        QTRY_VERIFY(site.shows(50.0));
        QCOMPARE(site.uinShown, (QStringList{volts(48.5), QStringLiteral("(hidden)"), volts(50.0)}));
    }

    void ptyClosedMidWrite_commandKeptAndSentOnTheNewDevice() {
        PseudoTerminal adapter;
        if (!adapter.isValid())
            QSKIP(qPrintable(QStringLiteral("no pseudo-terminal: ") + adapter.errorString()));
        QtSerialPort port;
        Installation site(port, adapter.devicePath());
        QVERIFY(port.isOpen());

        site.monitor.PompeButton_Action();
        const qint64 stamp = site.nextStamp();
        QVERIFY(adapter.send(converterFrame(485)));
        QTRY_COMPARE(site.lastStamp(), stamp);
        adapter.vanish();
        site.doubles.timeline.advance(200); // the emission tick writes to the vanished adapter

        QVERIFY(!port.isOpen());
        QVERIFY(!site.monitor.trace().text().contains(kSentTrace));
        QVERIFY(site.monitor.state().emissionRequest);
        QCOMPARE(site.monitor.state().serial_count_errors, qint64(1));
        QVERIFY(site.doubles.notifier.messages.isEmpty());

        PseudoTerminal replugged;
        QVERIFY(replugged.isValid());
        site.reconnect(replugged.devicePath());
        const qint64 stampAfter = site.nextStamp();
        QVERIFY(replugged.send(converterFrame(485)));
        QTRY_COMPARE(site.lastStamp(), stampAfter);
        site.doubles.timeline.advance(200);
        QByteArray sent;
        QTRY_COMPARE((sent += replugged.receive()), kPumpCommand);
        QVERIFY(site.monitor.trace().text().contains(kSentTrace));
        QVERIFY(!site.monitor.state().emissionRequest);
    }
#endif
};

QTEST_GUILESS_MAIN(TestPortFaults)
#include "tst_portfaults.moc"

#include "FakeSerialPort.h"
#include "ManualTimeline.h"
#include "Recorders.h"
#include "link/PortSelection.h"
#include "link/SerialErrorRecovery.h"

#include <QTest>

namespace {

const QString kErrorMessage = QStringLiteral("A serial port error occurred.");

// A connected link whose port reports errors, with the 5 s reset timer running.
struct FaultyLink {
    ManualTimeline timeline;
    FakeDeviceList devices;
    FakeSerialPort port;
    RecordingNotifier notifier;
    MonitorState state;
    ControlsState controls;
    QObject owner;
    Timer* portListUpdater = timeline.create(QStringLiteral("PortListUpdater"), 500, &owner);
    Timer* timerResetError = timeline.create(QStringLiteral("TimerResetError"), 5000, &owner);
    PortSelection ports{controls, devices, port, *portListUpdater, notifier};
    SerialErrorRecovery recovery{state, port, notifier, ports};

    FaultyLink() {
        QObject::connect(portListUpdater, &Timer::timeout, &owner,
                         [this] { ports.PortListUpdater_Action(); });
        QObject::connect(timerResetError, &Timer::timeout, &owner,
                         [this] { recovery.TimerResetError_Action(); });
        QObject::connect(&port, &SerialPort::errorOccurred, &owner,
                         [this] { recovery.SerialConnection1_Error(); });
        portListUpdater->setMode(Timer::Repeating);
        timerResetError->setMode(Timer::Repeating);
        devices.setNames({QStringLiteral("ttyUSB0")});
        timeline.advance(500);
        ports.ConnectButton_Action();
    }
    // A port that fails again as soon as it is reopened: each error closes it, so the next
    // one needs it open again, as the reconnection reopens it.
    void errors(int count) {
        for (int i = 0; i < count; ++i) {
            if (!port.isOpen())
                port.open(port.openedDevice);
            port.raiseError();
        }
    }
};

} // namespace

class TestSerialErrorRecovery : public QObject {
    Q_OBJECT
private slots:
    void singleErrorClosesThePortOnly() {
        FaultyLink link;
        QVERIFY(link.port.isOpen());
        link.errors(1);
        QVERIFY(!link.port.isOpen());
        QCOMPARE(link.state.serial_count_errors, qint64(1));
        QCOMPARE(link.controls.ConnectButton.caption, QStringLiteral("Disconnect"));
        QVERIFY(link.ports.isConnected());
        // The closed port reports nothing more, so nothing more is counted.
        link.port.raiseError();
        QCOMPARE(link.state.serial_count_errors, qint64(1));
    }

    void elevenErrorsOnlyCountAndClose() {
        FaultyLink link;
        link.errors(11);
        QCOMPARE(link.state.serial_count_errors, qint64(11));
        QCOMPARE(link.port.closeCount, 11);
        QCOMPARE(link.notifier.beeps, 0);
        QVERIFY(link.notifier.messages.isEmpty());
        QVERIFY(link.ports.isConnected());
        QCOMPARE(link.portListUpdater->mode(), Timer::Off);
    }

    void twelfthErrorTellsTheUserAndDisconnects() {
        FaultyLink link;
        link.errors(11);
        const int opensBefore = link.port.openCount + 1; // the reopening before the twelfth
        // While the modal box is open the port is already closed and the window still
        // shows the link connected.
        QString seenWhileShown;
        link.notifier.onMessage = [&](const QString&) {
            seenWhileShown = QStringLiteral("beeps=%1 open=%2 caption=%3")
                                 .arg(link.notifier.beeps)
                                 .arg(link.port.isOpen())
                                 .arg(link.controls.ConnectButton.caption);
        };
        link.errors(1);
        QCOMPARE(seenWhileShown, QStringLiteral("beeps=1 open=0 caption=Disconnect"));
        QCOMPARE(link.notifier.messages, QStringList{kErrorMessage});
        QCOMPARE(link.notifier.beeps, 1);
        QCOMPARE(link.state.serial_count_errors, qint64(0));
        QCOMPARE(link.controls.ConnectButton.caption, QStringLiteral("Connect"));
        QVERIFY(link.controls.SerialPortsPopupMenu_enabled);
        QVERIFY(!link.controls.CheckBoxLog_enabled);
        QVERIFY(!link.controls.HPUMenu_enabled);
        QCOMPARE(link.portListUpdater->mode(), Timer::Repeating);
        QCOMPARE(link.port.openCount, opensBefore); // the press disconnected, it did not reopen
    }

    void resetTickEmptiesTheCount() {
        FaultyLink link; // connected at 500 ms
        link.errors(11);
        link.timeline.advance(4500); // the reset tick at 5000 ms
        QCOMPARE(link.state.serial_count_errors, qint64(0));
        link.errors(1);
        QCOMPARE(link.state.serial_count_errors, qint64(1));
        QVERIFY(link.notifier.messages.isEmpty());
        QCOMPARE(link.notifier.beeps, 0);
        QVERIFY(link.ports.isConnected());
    }

    void resetTickEveryFiveSeconds() {
        FaultyLink link;
        link.timeline.advance(4500);
        link.errors(3);
        link.timeline.advance(4999);
        QCOMPARE(link.state.serial_count_errors, qint64(3));
        link.timeline.advance(1);
        QCOMPARE(link.state.serial_count_errors, qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestSerialErrorRecovery)
#include "tst_serialerrorrecovery.moc"

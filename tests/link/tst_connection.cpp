// The connection's one state: each step of a script and what it turned into, the port as it
// was left, and the burst of errors that ends the connection with the user told.
#include "FakeSerialPort.h"
#include "Recorders.h"
#include "link/Connection.h"

#include <QTest>

namespace {

const QString kDevice = QStringLiteral("ttyUSB0");
constexpr qint64 kSilenceMs = 10000;

struct Link {
    FakeDeviceList devices;
    FakeSerialPort port;
    RecordingNotifier notifier;
    MonitorState record;
    Connection connection{devices, port, notifier, record};
    qint64 nowMs = 0;

    Link() {
        devices.setNames({QStringLiteral("ttyS0"), kDevice});
        connection.setSilenceLimit(kSilenceMs);
    }

    // One step; an action answers "outcome/state/port", a change of the world answers nothing.
    QString step(const QString& word) {
        if (word == QLatin1String("open"))
            return answer(connection.open(kDevice));
        if (word == QLatin1String("close"))
            return answer(connection.close());
        if (word == QLatin1String("error"))
            return answer(connection.portError(QStringLiteral("Input/output error")));
        if (word == QLatin1String("burst")) { // twelve errors in one reset window
            Connection::Outcome last = Connection::Outcome::Unchanged;
            for (int i = 0; i < 12; ++i)
                last = connection.portError(QStringLiteral("Input/output error"));
            return answer(last);
        }
        if (word == QLatin1String("tick"))
            return answer(connection.tick(nowMs += 1000));
        if (word == QLatin1String("unplug"))
            devices.setNames({QStringLiteral("ttyS0")});
        else if (word == QLatin1String("plug"))
            devices.setNames({QStringLiteral("ttyACM0"), kDevice}); // back, at another place
        else if (word == QLatin1String("refuse"))
            port.failOpen = true;
        else if (word == QLatin1String("accept"))
            port.failOpen = false;
        else if (word == QLatin1String("hear"))
            connection.heard(nowMs);
        else if (word == QLatin1String("wait"))
            nowMs += kSilenceMs;
        else
            qFatal("unknown step %s", qPrintable(word));
        return QString();
    }

    QString answer(Connection::Outcome outcome) const {
        static const char* const outcomes[] = {"unchanged", "opened", "refused", "closed",
                                               "gaveUp",    "lost",   "reconnected"};
        static const char* const states[] = {"D", "C", "R"};
        return QStringLiteral("%1/%2/%3")
            .arg(QLatin1String(outcomes[int(outcome)]))
            .arg(QLatin1String(states[int(connection.state())]))
            .arg(port.isOpen() ? QStringLiteral("open") : QStringLiteral("closed"));
    }
};

} // namespace

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void transitions_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("lossReason");
        QTest::newRow("connect, disconnect")
            << "open close" << "opened/C/open closed/D/closed" << "";
        QTest::newRow("connect twice: the second changes nothing")
            << "open open" << "opened/C/open unchanged/C/open" << "";
        QTest::newRow("disconnect while disconnected") << "close" << "unchanged/D/closed" << "";
        QTest::newRow("device absent: refused") << "unplug open" << "refused/D/closed" << "";
        QTest::newRow("port held, then free") << "refuse open accept open"
                                              << "refused/D/closed opened/C/open" << "";
        QTest::newRow("nothing is watched while disconnected") << "unplug tick" << "unchanged/D/closed" << "";
        QTest::newRow("an error loses the link, the next second reopens it")
            << "open error tick" << "opened/C/open lost/R/closed reconnected/C/open"
            << "Input/output error";
        QTest::newRow("pulled: lost at the next second, reopened once listed again")
            << "open unplug tick tick plug tick"
            << "opened/C/open lost/R/closed unchanged/R/closed reconnected/C/open"
            << "ttyUSB0 is no longer listed";
        QTest::newRow("a reopening refused is tried again")
            << "open error refuse tick tick accept tick"
            << "opened/C/open lost/R/closed unchanged/R/closed unchanged/R/closed reconnected/C/open"
            << "Input/output error";
        QTest::newRow("disconnect while lost ends the attempts")
            << "open error close tick" << "opened/C/open lost/R/closed closed/D/closed unchanged/D/closed"
            << "Input/output error";
        QTest::newRow("a burst of errors gives up")
            << "open burst tick" << "opened/C/open gaveUp/D/closed unchanged/D/closed" << "Input/output error";
        QTest::newRow("errors while disconnected change nothing") << "error" << "unchanged/D/closed" << "";
        QTest::newRow("silent after bytes: reopened")
            << "open hear wait tick tick" << "opened/C/open lost/R/closed reconnected/C/open"
            << "no byte from ttyUSB0 for 10 s while its port was open: reopening it";
        QTest::newRow("a bus that never spoke is left open") << "open wait tick" << "opened/C/open unchanged/C/open"
                                                             << "";
        QTest::newRow("the silence is counted again after a reopening")
            << "open hear wait tick tick wait tick" << "opened/C/open lost/R/closed reconnected/C/open unchanged/C/open"
            << "no byte from ttyUSB0 for 10 s while its port was open: reopening it";
    }
    void transitions() {
        QFETCH(QString, script);
        QFETCH(QString, answers);
        QFETCH(QString, lossReason);
        Link link;
        QStringList seen;
        for (const QString& word : script.split(QLatin1Char(' '))) {
            const QString answer = link.step(word);
            if (!answer.isEmpty())
                seen << answer;
        }
        QCOMPARE(seen.join(QLatin1Char(' ')), answers);
        QCOMPARE(link.connection.lossReason(), lossReason);
        QCOMPARE(link.connection.isConnected(), link.connection.state() != Connection::State::Disconnected);
    }

    // The reopening finds the device by its name, wherever the system lists it now.
    void reopenedAtItsNewPlace() {
        Link link;
        link.step(QStringLiteral("open"));
        QCOMPARE(link.port.openedDevice.location, QStringLiteral("/dev/ttyUSB0"));
        link.step(QStringLiteral("error"));
        link.devices.list[1].location = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0");
        QCOMPARE(link.step(QStringLiteral("tick")), QStringLiteral("reconnected/C/open"));
        QCOMPARE(link.port.openedDevice.location, QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0"));
        QCOMPARE(link.connection.deviceName(), kDevice);
    }

    // Eleven errors are only counted, each closing the port; the twelfth within one reset window
    // beeps and tells the user while the connection still stands, then ends it.
    void burstOfErrors() {
        Link link;
        link.step(QStringLiteral("open"));
        for (int i = 0; i < 11; ++i)
            link.connection.portError(QStringLiteral("fault"));
        QCOMPARE(link.record.serial_count_errors, qint64(11));
        QCOMPARE(link.port.closeCount, 11);
        QCOMPARE(link.notifier.beeps, 0);
        QVERIFY(link.notifier.messages.isEmpty());
        QVERIFY(link.connection.isReconnecting());

        QString seenWhileShown;
        link.notifier.onMessage = [&](const QString&) {
            seenWhileShown = QStringLiteral("beeps=%1 open=%2 connected=%3")
                                 .arg(link.notifier.beeps)
                                 .arg(link.port.isOpen())
                                 .arg(link.connection.isConnected());
        };
        QCOMPARE(link.connection.portError(QStringLiteral("fault")), Connection::Outcome::GaveUp);
        QCOMPARE(seenWhileShown, QStringLiteral("beeps=1 open=0 connected=1"));
        QCOMPARE(link.notifier.messages, QStringList{QStringLiteral("A serial port error occurred.")});
        QCOMPARE(link.record.serial_count_errors, qint64(0));
        QCOMPARE(link.connection.state(), Connection::State::Disconnected);
        QCOMPARE(link.port.openCount, 1); // given up, not reopened
    }

    // The reset empties the count: a twelfth error after it is only counted.
    void resetStartsTheBurstAgain() {
        Link link;
        link.step(QStringLiteral("open"));
        for (int i = 0; i < 11; ++i)
            link.connection.portError(QStringLiteral("fault"));
        link.connection.resetErrors();
        QCOMPARE(link.connection.portError(QStringLiteral("fault")), Connection::Outcome::Unchanged);
        QCOMPARE(link.record.serial_count_errors, qint64(1));
        QVERIFY(link.notifier.messages.isEmpty());
        QVERIFY(link.connection.isConnected());
    }

    // A burst that comes while disconnected is told, and leaves the connection as it was.
    void burstWhileDisconnectedIsToldOnly() {
        Link link;
        link.record.serial_count_errors = 11;
        QCOMPARE(link.connection.portError(QStringLiteral("fault")), Connection::Outcome::Unchanged);
        QCOMPARE(link.notifier.messages.size(), 1);
        QCOMPARE(link.connection.state(), Connection::State::Disconnected);
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"

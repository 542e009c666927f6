// The event journal beside the CSV log: its lines, its files, and what the monitor writes to it
// through a connection with a loss, an alarm, commands, an acknowledged EEPROM write and a log
// failure.
#include "Files.h"
#include "Hex.h"
#include "TestPlatform.h"
#include "UserTexts.h"
#include "datalog/CsvLog.h"
#include "datalog/EventJournal.h"
#include "link/Frame.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kHeader = "EVENTS ORVANE\ndate;time;event;detail;\n";
const QDateTime kMorning(QDate(2026, 3, 14), QTime(10, 0, 0));

// A version 2 converter frame with the input voltage in tenths of a volt.
QByteArray converterFrame(int inputDecivolts) {
    QByteArray frame = hexBytes("00 01 10 10");
    frame.append(char((inputDecivolts >> 8) & 0xFF));
    frame.append(char(inputDecivolts & 0xFF));
    frame.append(hexBytes("6A AE 14 00 00 00 01 60 03 F5 00 00"));
    return Frame::withChecksum(frame);
}

struct Bench {
    Bench() {
        platform.devices.setNames({QStringLiteral("cu.usbserial-FT4ABCDE")});
        platform.timeline.advance(500);
    }
    QString journal(const QString& day = QStringLiteral("2026_03_14")) const {
        return platform.userFolders.documents() + QLatin1Char('/') + day +
               QStringLiteral("_EventsOrvane_FT4ABCDE.csv");
    }
    void receive(const QByteArray& bytes) {
        platform.port.feed(bytes);
        platform.timeline.advance(20);
    }
    // The journal's events, each without its date and time.
    QStringList events() const {
        QStringList found;
        for (const QByteArray& line : readAll(journal()).split('\n').mid(2))
            if (!line.isEmpty())
                found << QString::fromUtf8(line.mid(20));
        return found;
    }
    TestPlatform platform;
    Monitor monitor{platform.platform()};
};

} // namespace

class TestEventJournal : public QObject {
    Q_OBJECT
private slots:
    void lines_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QByteArray>("line");
        using K = MonitorEvent::Kind;
        QTest::newRow("connected") << int(K::Connected) << "ttyUSB0"
                                   << QByteArray("2026-03-14;10:00:00;connected;ttyUSB0;\n");
        QTest::newRow("lost, with the port's text")
            << int(K::ConnectionLost) << "Input/output error"
            << QByteArray("2026-03-14;10:00:00;connection lost;Input/output error;\n");
        QTest::newRow("a separator or a line break in the detail cannot split the line")
            << int(K::ConnectionLost) << "a;b\nc"
            << QByteArray("2026-03-14;10:00:00;connection lost;a,b c;\n");
        QTest::newRow("alarm raised, not ASCII")
            << int(K::AlarmRaised) << QStringLiteral("converter temperature 71.0 \u00b0C")
            << QByteArray("2026-03-14;10:00:00;alarm raised;converter temperature 71.0 \xc2\xb0"
                          "C;\n");
        QTest::newRow("acknowledgement")
            << int(K::EepromWriteAcknowledged) << "EEPROM write 30 = 750"
            << QByteArray("2026-03-14;10:00:00;EEPROM write acknowledged;EEPROM write 30 = 750;\n");
    }
    void lines() {
        QFETCH(int, kind);
        QFETCH(QString, detail);
        QFETCH(QByteArray, line);
        QCOMPARE(EventJournal::line(MonitorEvent{kMorning, MonitorEvent::Kind(kind), detail}), line);
    }

    // Real files: created with the header, appended to, a new file after midnight, and the
    // same adapter suffix as the CSV log; an unwritable folder leaves nothing behind.
    void filesByDayAndAdapter() {
        QTemporaryDir dir;
        const QString entry = QStringLiteral("/dev/cu.usbserial-FT4ABCDE");
        QCOMPARE(EventJournal::fileName(kMorning, entry),
                 QStringLiteral("2026_03_14_EventsOrvane_FT4ABCDE.csv"));
        QCOMPARE(EventJournal::fileName(kMorning, entry).replace("EventsOrvane", "LogOrvane"),
                 CsvLog::fileName(kMorning, entry));
        QVERIFY(EventJournal::append(dir.path(), entry, {kMorning, MonitorEvent::Kind::Connected, "a"}));
        QVERIFY(EventJournal::append(dir.path(), entry,
                                     {kMorning.addSecs(5), MonitorEvent::Kind::Disconnected, "a"}));
        const QDateTime nextDay(QDate(2026, 3, 15), QTime(0, 0, 1));
        QVERIFY(EventJournal::append(dir.path(), entry, {nextDay, MonitorEvent::Kind::Connected, "a"}));
        QCOMPARE(readAll(dir.filePath("2026_03_14_EventsOrvane_FT4ABCDE.csv")),
                 kHeader + "2026-03-14;10:00:00;connected;a;\n2026-03-14;10:00:05;disconnected;a;\n");
        QCOMPARE(readAll(dir.filePath("2026_03_15_EventsOrvane_FT4ABCDE.csv")),
                 kHeader + "2026-03-15;00:00:01;connected;a;\n");

        QString path;
        QVERIFY(!EventJournal::append(dir.filePath("missing"), entry,
                                      {kMorning, MonitorEvent::Kind::Connected, "a"}, &path));
        QCOMPARE(path, dir.filePath("missing/2026_03_14_EventsOrvane_FT4ABCDE.csv"));
        QVERIFY(!QFile::exists(path));
    }

    // A connection with a loss, a reconnection, an alarm, a pump command, an EEPROM write and
    // its acknowledgement, and a disconnection:
    // each lands in the journal, in order, while the CSV log keeps its own format.
    void monitorWritesItsEvents() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        Bench b;
        b.monitor.ConnectButton_Action(); // 10:00:00.500
        b.receive(converterFrame(485));   // 48.5 V, below the 53 V threshold
        b.platform.port.raiseError(QStringLiteral("No such device"));
        b.platform.timeline.advance(1000); // reopened
        b.receive(converterFrame(600));    // 60.0 V: alarm
        b.monitor.PompeButton_Action();
        b.receive(converterFrame(485)); // the alarm clears; the pump goes out 150 ms later
        b.platform.timeline.advance(200);
        b.monitor.ecritureEEPROM_HPU(30, 750);
        b.receive(converterFrame(485)); // the write goes out in the next quiet gap
        b.platform.timeline.advance(200);
        b.receive(hexBytes("00 12 42 02 00 56")); // and the HPU acknowledges it
        b.monitor.ConnectButton_Action();
        const QList<QByteArray> lines = readAll(b.journal()).split('\n');
        const QStringList events = b.events();
        QCOMPARE(events,
                 (QStringList{"connected;cu.usbserial-FT4ABCDE;", "connection lost;No such device;",
                              "reconnected;cu.usbserial-FT4ABCDE;", "alarm raised;input voltage 60.0 V;",
                              "alarm cleared;input voltage 48.5 V;", "command written;pump;",
                              "command written;EEPROM write 30 = 750;",
                              "EEPROM write acknowledged;EEPROM write 30 = 750;",
                              "disconnected;cu.usbserial-FT4ABCDE;"}));
        QVERIFY(lines.value(2).startsWith("2026-03-14;10:00:00;connected;"));
        const QByteArray csv = readAll(b.platform.userFolders.documents() +
                                       QStringLiteral("/2026_03_14_LogOrvane_FT4ABCDE.csv"));
        QVERIFY(
            csv.startsWith("LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];\n"));
        QLocale::setDefault(QLocale::system());
    }

    // A frame whose output voltage fits neither protocol version leaves the speed unknown: the
    // speed alarm clears, and the journal says the speed is not known, never "-1 rpm".
    void anUnknownSpeedIsNotJournalledAsAMeasurement() {
        Bench b;
        b.monitor.ConnectButton_Action();
        b.receive(Frame::withChecksum(hexBytes("00 01 10 10 01 E5 6A AE 14 00 00 00 01 60 FF FF 00 00")));
        b.receive(Frame::withChecksum(hexBytes("00 01 10 10 01 E5 00 46 14 00 00 00 01 60 FF FF 00 00")));
        const QStringList events = b.events();
        QCOMPARE(events.size(), 3);
        QVERIFY2(events[1].startsWith("alarm raised;speed ") && events[1].endsWith(" rpm;"), qPrintable(events[1]));
        QCOMPARE(events[2], QStringLiteral("alarm cleared;speed not known;"));
    }

    // Log unticked: no journal is written.
    void nothingWhileLogIsUnticked() {
        Bench b;
        b.monitor.setLogChecked(false);
        b.monitor.ConnectButton_Action();
        b.platform.port.raiseError();
        b.platform.timeline.advance(2000);
        QVERIFY(!QFile::exists(b.journal()));
    }

    // The CSV log cannot be written but the journal can: the failure is journalled, the user
    // is told once, and the journal goes on with what comes after, the box unticked.
    void csvFailureIsJournalledAndTheJournalGoesOn() {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no full device on this system");
        Bench b;
        b.monitor.ConnectButton_Action();
        const QString csv =
            b.platform.userFolders.documents() + QStringLiteral("/2026_03_14_LogOrvane_FT4ABCDE.csv");
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), csv)); // the disk is full for the CSV log
        b.platform.timeline.advance(1000);
        QCOMPARE(b.platform.notifier.messages, QStringList{UserTexts::kLogFailure});
        QVERIFY(!b.monitor.controls().CheckBoxLog_checked);
        b.platform.port.raiseError(QStringLiteral("No such device"));
        b.platform.timeline.advance(1000);
        QCOMPARE(b.events(), (QStringList{"connected;cu.usbserial-FT4ABCDE;", "log write failed;" + csv + ";",
                                          "connection lost;No such device;", "reconnected;cu.usbserial-FT4ABCDE;"}));
        // Unticked by the user, both stop.
        b.monitor.setLogChecked(false);
        b.monitor.ConnectButton_Action();
        QCOMPARE(b.events().size(), 4);
    }

    // The journal cannot be written (the disk full for it): told once however many events
    // fail, and the CSV log goes on, the box ticked.
    void journalFailureToldOnceTheCsvLogGoesOn() {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no full device on this system");
        Bench b;
        QVERIFY(QDir().mkpath(b.platform.userFolders.documents()));
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), b.journal()));
        b.monitor.ConnectButton_Action();
        b.receive(converterFrame(600)); // an alarm: a second event that cannot be written
        b.platform.port.raiseError(QStringLiteral("No such device"));
        b.platform.timeline.advance(3000);
        QCOMPARE(b.platform.notifier.messages, QStringList{UserTexts::kLogFailure});
        QVERIFY(b.monitor.controls().CheckBoxLog_checked);
        const QList<QByteArray> csv = readAll(b.platform.userFolders.documents() +
                                              QStringLiteral("/2026_03_14_LogOrvane_FT4ABCDE.csv"))
                                          .split('\n');
        QCOMPARE(csv.value(0), QByteArray("LOG ORVANE"));
        QVERIFY2(csv.size() >= 2 + 3 + 1, qPrintable(QString::number(csv.size())));
    }

    // A folder where the journal should be: the journal goes on beside it, says so first, and
    // the user is told once.
    void refusedJournalGoesOnBeside() {
        Bench b;
        QVERIFY(QDir().mkpath(b.journal()));
        b.monitor.ConnectButton_Action();
        b.platform.port.raiseError(QStringLiteral("No such device"));
        b.platform.timeline.advance(1000);
        const QString beside = b.journal().replace(".csv", "-2.csv");
        QCOMPARE(b.platform.notifier.messages, QStringList{DayFileWriter::movedMessage(b.journal(), beside)});
        QVERIFY(b.monitor.controls().CheckBoxLog_checked);
        QStringList events;
        for (const QByteArray& line : readAll(beside).split('\n').mid(2))
            if (!line.isEmpty())
                events << QString::fromUtf8(line.mid(20));
        QCOMPARE(events, (QStringList{"connected;cu.usbserial-FT4ABCDE;",
                                      "log file moved;" + b.journal() + " -> " + beside + ";",
                                      "connection lost;No such device;", "reconnected;cu.usbserial-FT4ABCDE;"}));
    }
};

QTEST_GUILESS_MAIN(TestEventJournal)
#include "tst_eventjournal.moc"

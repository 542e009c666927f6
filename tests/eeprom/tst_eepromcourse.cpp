#include "EepromTestDoubles.h"
#include "TestPlatform.h"
#include "eeprom/HpuEepromEditor.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorEepromLink.h"

#include <QTest>

namespace {

// A converter data frame (48.0 V in, protocol V2, 1500 rpm): it opens the emission gap.
const char* const kConverterFrame = "00 01 10 10 01 E0 5D C0 03 E8 00 00 00 FA 03 E8 00 00 04 EF";
const char* const kReadRequest = "12 11 4C 02 00 71";
const char* const kWrite450At33 = "12 11 45 05 21 01 C2 01 51";

// The EEPROM window on the main window's monitor, connected to the test-double port: its
// requests leave through the real emission path and the HPU's answers come back as bytes
// through the real receive path.
struct Line {
    TestPlatform platform;
    Monitor monitor{platform.platform()};
    MonitorEepromLink link{monitor};
    RecordingPrompts prompts;
    HpuEepromEditor editor{link, platform.timeline, prompts};

    Line() {
        editor.setLocale(QLocale::c());
        platform.devices.setNames({QStringLiteral("ttyUSB0")});
        platform.timeline.advance(500); // the device list picks up the adapter
        monitor.ConnectButton_Action();
        QVERIFY(platform.port.isOpen());
    }

    ManualTimeline& timeline() { return platform.timeline; }
    const EepromListRow& row(int r) const { return editor.listModel().rows[r]; }
    // The converter broadcasts every 200 ms for exactly ms milliseconds; a pending command
    // leaves 150 ms after a frame (the default emission delay). Returns what was written.
    QStringList converterRuns(int ms) {
        const int before = platform.port.writes.size();
        for (int t = 0; t < ms;) {
            platform.port.feed(hexBytes(kConverterFrame));
            const int step = std::min(200, ms - t);
            timeline().advance(step);
            t += step;
        }
        QStringList written;
        for (int i = before; i < platform.port.writes.size(); ++i)
            written.append(hexString(platform.port.writes[i]));
        return written;
    }
    // Opens the window and has the HPU answer its first request; back to idle.
    void readToIdle() {
        editor.open();
        QCOMPARE(converterRuns(200), QStringList{kReadRequest});
        platform.port.feed(defaultsReadAnswer());
        timeline().advance(1500 - 200);
        QVERIFY(editor.listModel().enabled);
        QVERIFY(!editor.Timer1().isRunning());
    }
};

} // namespace

// Reading and writing the HPU's EEPROM through the main window's link, bytes on the line.
class TestEepromCourse : public QObject {
    Q_OBJECT
private slots:
    void readCourse() {
        Line line;
        const qint64 opened = line.timeline().elapsedMs();
        line.editor.open();
        line.timeline().advance(300);
        QVERIFY(line.platform.port.writes.isEmpty()); // no converter frame, no emission gap
        // The request leaves 150 ms after the next converter frame.
        QCOMPARE(line.converterRuns(200), QStringList{kReadRequest});
        line.platform.port.feed(defaultsReadAnswer());
        line.timeline().advance(10);
        QVERIFY(line.monitor.state().reponseHPU);
        QCOMPARE(line.monitor.state().TrameBufferEEPROM[36], quint8(0x84));
        QVERIFY(line.monitor.trace().text().contains(QStringLiteral("envoi EEPROM valide")));
        line.timeline().advance(opened + 999 - line.timeline().elapsedMs());
        QVERIFY(!line.editor.listModel().enabled);

        line.timeline().advance(1); // first tick, 1000 ms after opening
        QVERIFY(line.editor.listModel().enabled);
        QCOMPARE(line.editor.ProgressBar1(), 100);
        const QStringList values = {"0",  "800", "50", "500", "200", "1800", "900",  "550",  "200",
                                    "50", "20",  "2",  "8",   "30",  "80",   "4000", "15000"};
        for (int r = 0; r < 17; ++r)
            QCOMPARE(line.row(r).cells[kColValue], values[r]);
        QCOMPARE(line.row(6).cells[kColRealValue], QStringLiteral("900 [RPM]")); // elements 14-15, address 35
        QCOMPARE(line.row(1).cells[kColRealValue], QStringLiteral("8.00 [bar]"));

        line.timeline().advance(500);
        QCOMPARE(line.editor.ProgressBar1(), 0);
        QVERIFY(!line.monitor.state().reponseHPU);
        QVERIFY(line.converterRuns(2000).isEmpty()); // nothing more is asked
    }

    void silentHpu() {
        Line line;
        line.editor.open();
        QCOMPARE(line.editor.progressValue(), qint64(9));
        QList<int> bar;
        QStringList written;
        written += line.converterRuns(1000);
        bar.append(line.editor.ProgressBar1());
        for (int tick = 1; tick < 12; ++tick) {
            written += line.converterRuns(500);
            bar.append(line.editor.ProgressBar1());
        }
        QCOMPARE(bar, (QList<int>{19, 29, 39, 49, 59, 69, 79, 89, 99, 100, 100, 100}));
        QVERIFY(!line.editor.listModel().enabled);
        // The opening's request, then the request again at every tick but the last.
        QCOMPARE(written.size(), 12);
        QCOMPARE(written.count(QString::fromLatin1(kReadRequest)), 12);
    }

    void writeCourse() {
        Line line;
        line.readToIdle();
        QCOMPARE(line.editor.Listbox_EEPROM_CellClick(3, kColDescribtion), 3);
        QVERIFY(line.editor.Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        // Unacknowledged, the write request leaves again at every tick.
        QCOMPARE(line.converterRuns(1200), (QStringList{kWrite450At33, kWrite450At33, kWrite450At33}));
        QVERIFY(line.row(3).bold);

        line.platform.port.feed(hexBytes("00 12 42 02 00 56"));
        line.timeline().advance(10);
        QVERIFY(line.monitor.state().reponseecritureHPU);
        QCOMPARE(line.converterRuns(500), QStringList{kReadRequest}); // the read-back
        line.platform.port.feed(readAnswerAfter450());
        line.timeline().advance(500);
        QVERIFY(line.editor.listModel().enabled);
        QCOMPARE(line.row(3).cells[kColValue], QStringLiteral("450"));
        QCOMPARE(line.row(3).cells[kColRealValue], QStringLiteral("45.0 [V]"));
        QVERIFY(!line.row(3).bold);
        line.timeline().advance(500);
        QVERIFY(!line.editor.Timer1().isRunning());
        QVERIFY(line.converterRuns(2000).isEmpty());
    }

    void ackWithBadChecksumIsNoAck() {
        Line line;
        line.readToIdle();
        QVERIFY(line.editor.Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        line.converterRuns(200);
        line.platform.port.feed(hexBytes("00 12 42 02 00 57"));
        line.timeline().advance(10);
        QVERIFY(!line.monitor.state().reponseecritureHPU);
        QCOMPARE(line.converterRuns(500), QStringList{kWrite450At33});
    }

    void writtenBytes_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("request");
        QTest::newRow("450 at address 33") << 3 << "450" << kWrite450At33;
        QTest::newRow("row 5 is address 36") << 5 << "450"
                                             << "12 11 45 05 24 01 C2 01 54";
        QTest::newRow("row 9 is address 32") << 9 << "12"
                                             << "12 11 45 05 20 00 0C 00 99";
    }
    void writtenBytes() {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QString, request);
        Line line;
        line.readToIdle();
        QVERIFY(line.editor.Listbox_EEPROM_CellAction(row, text));
        QCOMPARE(line.converterRuns(200), QStringList{request});
    }

    // A new value committed in the 500 ms after a read-back was shown, while the previous
    // write's acknowledgement is still flagged, is sent all the same.
    void staleAcknowledgementDoesNotEndANewWrite() {
        Line line;
        line.readToIdle();
        QVERIFY(line.editor.Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        line.converterRuns(200);
        line.platform.port.feed(hexBytes("00 12 42 02 00 56"));
        line.timeline().advance(300);
        line.converterRuns(200);
        line.platform.port.feed(readAnswerAfter450());
        // Advance to the tick that shows the read-back (Timer1 ticks every 500 ms).
        while (!line.editor.listModel().enabled)
            line.timeline().advance(10);
        // The HPU acknowledges a repetition of the request too: a second acknowledgement, late.
        line.platform.port.feed(hexBytes("00 12 42 02 00 56"));
        line.timeline().advance(10);
        QVERIFY(line.monitor.state().reponseecritureHPU);

        QVERIFY(line.editor.Listbox_EEPROM_CellAction(4, QStringLiteral("210")));
        QCOMPARE(line.converterRuns(200), QStringList{"12 11 45 05 22 00 D2 01 61"});
        QCOMPARE(line.editor.Statut_EEPROM(), qint64(2));
    }

    void refusedOrDeclinedValueSendsNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("refusals");
        QTest::addColumn<int>("questions");
        QTest::newRow("70000 does not fit two bytes") << "70000" << 1 << 0;
        QTest::newRow("above Max, declined") << "600" << 0 << 1;
        QTest::newRow("fraction") << "12.7" << 1 << 0;
        QTest::newRow("no number") << "abc" << 1 << 0;
        QTest::newRow("empty") << "" << 1 << 0;
    }
    void refusedOrDeclinedValueSendsNothing() {
        QFETCH(QString, text);
        QFETCH(int, refusals);
        QFETCH(int, questions);
        Line line;
        line.readToIdle();
        QVERIFY(!line.editor.Listbox_EEPROM_CellAction(3, text));
        QCOMPARE(line.prompts.refusals.size(), refusals);
        QCOMPARE(line.prompts.questions.size(), questions);
        QVERIFY(line.converterRuns(2000).isEmpty());
        QCOMPARE(line.row(3).cells[kColValue], QStringLiteral("500"));
    }
};

QTEST_GUILESS_MAIN(TestEepromCourse)
#include "tst_eepromcourse.moc"

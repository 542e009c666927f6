#include "FakeSerialPort.h"
#include "Hex.h"
#include "ManualTimeline.h"
#include "link/HpuCommands.h"
#include "link/LinkPacing.h"
#include "link/ReceiveStateMachine.h"

#include <QTest>

#include <functional>
#include <memory>

namespace {

const QByteArray kConverter = hexBytes("00 01 10 10 02 0D 30 D4 13 88 AB CD 01 2C 00 C8 00 00 04 3C");
const QByteArray kHpuStatus = hexBytes("00 12 10 07 01 F4 FF 00 00 02 1D");
const QByteArray kPump = hexBytes("12 11 48 02 00 6D");
const QByteArray kRelease = hexBytes("12 11 4A 02 00 6F");
const QString kEmitted = QStringLiteral(" j'emets une trame  \n");

// The link's main loop on an open port: the data-received event and the two timers wired to
// the pacers, and a converter frame arming the emission as the monitor does.
struct Link : FrameDispatcher {
    ManualTimeline timeline;
    FakeSerialPort port;
    MonitorState state;
    ControlsState controls;
    RawStreamTrace trace;
    QObject owner;
    Timer* reception = timeline.create(QStringLiteral("TimerReceptionRS485"), 10, &owner);
    Timer* emission = timeline.create(QStringLiteral("TimerEmissionRS485"), 10, &owner);
    ReceiveStateMachine machine{state, port, trace, timeline, controls, *this};
    ReceptionPacer receptionPacer{port, *reception, machine};
    EmissionPacer emissionPacer{state, port, trace, *emission, timeline};
    QVector<qint64> writeTimes;
    int emissionTicks = 0;

    Link() {
        QObject::connect(&port, &SerialPort::dataReceived, &owner,
                         [this] { receptionPacer.SerialConnection1_DataReceived(); });
        QObject::connect(reception, &Timer::timeout, &owner,
                         [this] { receptionPacer.TimerReceptionRS485_Action(); });
        QObject::connect(emission, &Timer::timeout, &owner, [this] {
            ++emissionTicks;
            const int before = int(port.writes.size());
            emissionPacer.TimerEmissionRS485_Action();
            if (port.writes.size() > before)
                writeTimes.append(timeline.elapsedMs());
        });
        port.open({QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0")});
    }
    void converterDataFrame() override { emissionPacer.arm(controls.Textfield_timer_emission); }
    void hpuStatusFrame() override {}
    void eepromReadAnswer() override {}

    // A button or the EEPROM window building a command, as the monitor passes it on.
    void pump() {
        HpuCommands::consignePOMPE_HPU(state);
        emissionPacer.commandQueued();
    }
};

using Step = std::function<void(Link&)>;

} // namespace

Q_DECLARE_METATYPE(Step)

class TestLinkPacing : public QObject {
    Q_OBJECT
private slots:
    void receptionTimerRunsOnlyWhileBytesWait() {
        Link link;
        QCOMPARE(link.reception->mode(), Timer::Off);
        QCOMPARE(link.reception->period(), 10);
        link.port.feed(kHpuStatus.left(4)); // a header alone: too few bytes to act on
        QCOMPARE(link.reception->mode(), Timer::Repeating);
        link.timeline.advance(50);
        QCOMPARE(link.reception->mode(), Timer::Repeating); // still waiting for more
        QCOMPARE(link.state.StatutRS485, StatutRS485::Search);
        link.port.feed(kHpuStatus.mid(4));
        link.timeline.advance(10);
        QCOMPARE(link.state.StatutRS485, StatutRS485::NextHeader);
        QCOMPARE(link.port.bytesAvailable(), qint64(0));
        QCOMPARE(link.reception->mode(), Timer::Off); // off once the buffer is empty
    }

    // A whole burst buffered at once is handled one frame per tick.
    void burstHandledOneFramePerTick() {
        Link link;
        link.state.StatutRS485 = StatutRS485::NextHeader;
        link.port.feed(kHpuStatus + kHpuStatus + kHpuStatus);
        link.timeline.advance(10);
        QCOMPARE(link.port.bytesAvailable(), qint64(22));
        link.timeline.advance(20);
        QCOMPARE(link.port.bytesAvailable(), qint64(0));
        QCOMPARE(link.reception->mode(), Timer::Off);
    }

    // A listener decodes the bytes as they arrive: the same frames, counters and trace as
    // the tick gives, each whole frame handled the moment its last byte comes, and the
    // reception timer never running.
    void asBytesArriveDecodesWhatTheTickDecodes_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QByteArray corrupted = kHpuStatus;
        corrupted[10] = char(0x00);
        QTest::newRow("frames one by one") << QList<QByteArray>{kConverter, kHpuStatus, kConverter};
        QTest::newRow("a frame in two pieces") << QList<QByteArray>{kConverter.left(7), kConverter.mid(7)};
        QTest::newRow("a header in two pieces") << QList<QByteArray>{kHpuStatus, kHpuStatus.left(2), kHpuStatus.mid(2)};
        QTest::newRow("a burst") << QList<QByteArray>{kHpuStatus + kHpuStatus + kConverter + kHpuStatus};
        QTest::newRow("junk before a frame") << QList<QByteArray>{hexBytes("12 34 56 78 9A"), kConverter};
        QTest::newRow("a bad checksum") << QList<QByteArray>{corrupted + kHpuStatus, kHpuStatus};
        QTest::newRow("an over-long announcement")
            << QList<QByteArray>{kHpuStatus, hexBytes("00 12 10 7F 01 02 03 04 05 06"), kHpuStatus, kConverter};
        QTest::newRow("a frame left incomplete") << QList<QByteArray>{kHpuStatus, kConverter.left(12)};
    }

    void asBytesArriveDecodesWhatTheTickDecodes() {
        QFETCH(QList<QByteArray>, chunks);
        Link ticked;
        Link listening;
        ticked.controls.rawStreamPageSelected = listening.controls.rawStreamPageSelected = true;
        listening.receptionPacer.setPace(ReceptionPacer::Pace::AsBytesArrive);
        for (const QByteArray& chunk : chunks) {
            ticked.port.feed(chunk);
            ticked.timeline.advance(100);
            listening.port.feed(chunk);
            QCOMPARE(listening.reception->mode(), Timer::Off);
            QCOMPARE(listening.machine.counters().converterFrames, ticked.machine.counters().converterFrames);
            QCOMPARE(listening.machine.counters().hpuFrames, ticked.machine.counters().hpuFrames);
        }
        QVERIFY(ticked.machine.counters().converterFrames + ticked.machine.counters().hpuFrames > 0);
        QCOMPARE(listening.timeline.elapsedMs(), qint64(0)); // decoded with no tick at all
        QCOMPARE(listening.machine.counters().checksumErrors, ticked.machine.counters().checksumErrors);
        QCOMPARE(listening.machine.counters().junkBytes, ticked.machine.counters().junkBytes);
        QCOMPARE(listening.machine.counters().overlongFrames, ticked.machine.counters().overlongFrames);
        QCOMPARE(listening.state.StatutRS485, ticked.state.StatutRS485);
        QCOMPARE(listening.port.bytesAvailable(), ticked.port.bytesAvailable());
        QCOMPARE(listening.trace.text(), ticked.trace.text());
    }

    // Switching pace with bytes waiting for the tick hands them over at once.
    void switchingToAsBytesArriveTakesWhatTheTickWasWaitingFor() {
        Link link;
        link.port.feed(kConverter + kHpuStatus);
        QCOMPARE(link.reception->mode(), Timer::Repeating);
        link.receptionPacer.setPace(ReceptionPacer::Pace::AsBytesArrive);
        QCOMPARE(link.reception->mode(), Timer::Off);
        QCOMPARE(link.port.bytesAvailable(), qint64(0));
        QCOMPARE(link.machine.counters().converterFrames, quint64(1));
        QCOMPARE(link.machine.counters().hpuFrames, quint64(1));
    }

    void pendingCommandWrittenOnceAfterTheDelay() {
        Link link;
        HpuCommands::consignePOMPE_HPU(link.state);
        link.port.feed(kConverter); // handled at the 10 ms tick
        link.timeline.advance(10);
        QCOMPARE(link.emission->mode(), Timer::Repeating);
        QCOMPARE(link.emission->period(), 150);
        link.timeline.advance(149);
        QVERIFY(link.port.writes.isEmpty());
        link.timeline.advance(1);
        QCOMPARE(link.port.writes.size(), 1);
        QCOMPARE(hexString(link.port.writes[0]), hexString(kPump));
        QCOMPARE(link.trace.text(), kEmitted);
        QVERIFY(!link.state.emissionRequest);
        QCOMPARE(link.emission->mode(), Timer::Off);
        link.timeline.advance(2000);
        QCOMPARE(link.port.writes.size(), 1); // once, no repetition
    }

    void secondConverterFrameRestartsTheCountdown() {
        Link link;
        HpuCommands::consignePOMPE_HPU(link.state);
        link.port.feed(kConverter);
        link.timeline.advance(100);
        link.port.feed(kConverter);
        link.timeline.advance(1000);
        QCOMPARE(link.writeTimes, QVector<qint64>{110 + 150});
    }

    // Only the frame last built leaves, whenever it was built before the tick.
    void onlyTheLastBuiltCommandIsWritten_data() {
        QTest::addColumn<Step>("beforeFrame");
        QTest::addColumn<Step>("afterFrame");
        QTest::addColumn<QByteArray>("written");
        const Step nothing = [](Link&) {};
        QTest::newRow("pump then release: release only") << Step([](Link& l) {
            HpuCommands::consignePOMPE_HPU(l.state);
            HpuCommands::consigneRELEASE_HPU(l.state);
        }) << nothing << kRelease;
        QTest::newRow("pump twice: once") << Step([](Link& l) {
            HpuCommands::consignePOMPE_HPU(l.state);
            HpuCommands::consignePOMPE_HPU(l.state);
        }) << nothing << kPump;
        QTest::newRow("release built after the frame, before the tick")
            << Step([](Link& l) { HpuCommands::consignePOMPE_HPU(l.state); }) << Step([](Link& l) {
                   HpuCommands::consigneRELEASE_HPU(l.state);
                   l.emissionPacer.commandQueued();
               })
            << kRelease;
        QTest::newRow("command built only after the frame") << nothing << Step([](Link& l) {
            HpuCommands::ecritureEEPROM_HPU(l.state, 30, 800);
            l.emissionPacer.commandQueued();
        }) << hexBytes("12 11 45 05 1E 03 20 00 AE");
    }
    void onlyTheLastBuiltCommandIsWritten() {
        QFETCH(Step, beforeFrame);
        QFETCH(Step, afterFrame);
        QFETCH(QByteArray, written);
        Link link;
        beforeFrame(link);
        link.port.feed(kConverter);
        link.timeline.advance(50);
        afterFrame(link);
        link.timeline.advance(1000);
        QCOMPARE(link.port.writes.size(), 1);
        QCOMPARE(hexString(link.port.writes[0]), hexString(written));
    }

    void nothingWrittenWithoutConverterFrames() {
        Link link;
        HpuCommands::consignePOMPE_HPU(link.state);
        for (int i = 0; i < 50; ++i) {
            link.port.feed(kHpuStatus);
            link.timeline.advance(100);
        }
        QVERIFY(link.port.writes.isEmpty());
        QVERIFY(link.state.emissionRequest);
        QCOMPARE(link.emission->mode(), Timer::Off);
    }

    // A gap with nothing to send costs no wake-up: the timer stays off through it.
    void noTickWithoutPendingCommand() {
        Link link;
        for (int i = 0; i < 10; ++i) {
            link.port.feed(kConverter);
            link.timeline.advance(10);
            QCOMPARE(link.emission->mode(), Timer::Off);
            link.timeline.advance(190);
        }
        QCOMPARE(link.emissionTicks, 0);
        QVERIFY(link.port.writes.isEmpty());
        QVERIFY(link.trace.text().isEmpty());
    }

    // A command built during the quiet gap leaves when the gap ends (frame read at 10, delay
    // 150: at 160), as one built before the frame does; one built after the gap waits for
    // the next converter frame (fed at 300, read at 310: at 460). One tick per command.
    void commandBuiltDuringTheGapLeavesAtItsEnd_data() {
        QTest::addColumn<qint64>("builtAt");
        QTest::addColumn<qint64>("writtenAt");
        QTest::newRow("before the frame") << qint64(0) << qint64(160);
        QTest::newRow("as the gap opens") << qint64(10) << qint64(160);
        QTest::newRow("mid-gap") << qint64(60) << qint64(160);
        QTest::newRow("1 ms before the end") << qint64(159) << qint64(160);
        QTest::newRow("at the end: next frame") << qint64(160) << qint64(460);
        QTest::newRow("after the gap: next frame") << qint64(200) << qint64(460);
    }
    void commandBuiltDuringTheGapLeavesAtItsEnd() {
        QFETCH(qint64, builtAt);
        QFETCH(qint64, writtenAt);
        Link link;
        const auto advanceTo = [&link](qint64 at) { link.timeline.advance(at - link.timeline.elapsedMs()); };
        if (builtAt == 0)
            link.pump();
        link.port.feed(kConverter);
        if (builtAt > 0) {
            advanceTo(builtAt);
            link.pump();
        }
        advanceTo(300);
        link.port.feed(kConverter);
        advanceTo(2000);
        QCOMPARE(link.writeTimes, QVector<qint64>{writtenAt});
        QCOMPARE(link.emissionTicks, 1);
        QCOMPARE(link.emission->mode(), Timer::Off);
    }

    // Before any converter frame there is no gap to speak in.
    void commandBeforeTheFirstFrameWaitsForIt() {
        Link link;
        link.pump();
        QCOMPARE(link.emission->mode(), Timer::Off);
        link.timeline.advance(500);
        QVERIFY(link.port.writes.isEmpty());
        link.port.feed(kConverter);
        link.timeline.advance(1000);
        QCOMPARE(link.writeTimes, QVector<qint64>{510 + 150});
    }

    // The delay typed in Textfield_timer_emission takes effect at the next converter frame;
    // a text giving no positive number keeps the last valid delay.
    void emissionDelayFromTheText_data() {
        QTest::addColumn<QStringList>("texts"); // one per converter frame, 1 s apart
        QTest::addColumn<int>("delay");         // delay applied at the last frame
        QTest::newRow("default") << QStringList{QStringLiteral("150")} << 150;
        QTest::newRow("leading integer") << QStringList{QStringLiteral("40ms")} << 40;
        QTest::newRow("no number keeps the start delay") << QStringList{QStringLiteral("abc")} << 150;
        QTest::newRow("empty keeps the start delay") << QStringList{QString()} << 150;
        QTest::newRow("zero keeps the start delay") << QStringList{QStringLiteral("0")} << 150;
        QTest::newRow("negative keeps the start delay") << QStringList{QStringLiteral("-20")} << 150;
        QTest::newRow("no number keeps the last valid delay")
            << QStringList{QStringLiteral("80"), QStringLiteral("x")} << 80;
        QTest::newRow("zero keeps the last valid delay")
            << QStringList{QStringLiteral("300"), QStringLiteral("0")} << 300;
    }
    void emissionDelayFromTheText() {
        QFETCH(QStringList, texts);
        QFETCH(int, delay);
        Link link;
        for (const QString& text : texts) {
            link.controls.Textfield_timer_emission = text;
            link.writeTimes.clear();
            HpuCommands::consignePOMPE_HPU(link.state);
            const qint64 frameAt = link.timeline.elapsedMs() + 10;
            link.port.feed(kConverter);
            link.timeline.advance(1000);
            QCOMPARE(link.writeTimes, QVector<qint64>{frameAt + link.emission->period()});
        }
        QCOMPARE(link.emission->period(), delay);
        QCOMPARE(link.emissionPacer.delayMs(), delay);
    }

    // An edit while a countdown runs does not touch it.
    void editDuringCountdownWaitsForTheNextFrame() {
        Link link;
        HpuCommands::consignePOMPE_HPU(link.state);
        link.port.feed(kConverter);
        link.timeline.advance(20);
        link.controls.Textfield_timer_emission = QStringLiteral("500");
        link.timeline.advance(1000);
        QCOMPARE(link.writeTimes, QVector<qint64>{160});
    }

    // The port closed between the arming and the tick: nothing is sent, no line traced, no
    // crash, and the command waits for the first converter frame after a reconnection.
    void closedPortKeepsTheCommandPending() {
        Link link;
        HpuCommands::consignePOMPE_HPU(link.state);
        link.port.feed(kConverter);
        link.timeline.advance(20);
        link.port.close();
        link.timeline.advance(500);
        QVERIFY(link.port.writes.isEmpty());
        QVERIFY(link.trace.text().isEmpty());
        QVERIFY(link.state.emissionRequest);
        QCOMPARE(link.emission->mode(), Timer::Off);

        link.port.open({QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0")});
        link.port.feed(kConverter);
        link.timeline.advance(1000);
        QCOMPARE(link.port.writes.size(), 1);
        QCOMPARE(hexString(link.port.writes[0]), hexString(kPump));
        QCOMPARE(link.trace.text(), kEmitted);
        QVERIFY(!link.state.emissionRequest);
    }
};

QTEST_GUILESS_MAIN(TestLinkPacing)
#include "tst_linkpacing.moc"

#include "FakeSerialPort.h"
#include "Hex.h"
#include "ManualTimeline.h"
#include "core/ControlsState.h"
#include "link/HpuCommands.h"
#include "link/LinkPacing.h"
#include "link/ReceiveStateMachine.h"

#include <QTest>

#include <functional>
#include <utility>
#include <memory>

namespace {

const QByteArray kConverter = hexBytes("00 01 10 10 02 0D 30 D4 13 88 AB CD 01 2C 00 C8 00 00 04 3C");
const QByteArray kHpuStatus = hexBytes("00 12 10 07 01 F4 FF 00 00 02 1D");
const QByteArray kPump = hexBytes("12 11 48 02 00 6D");
const QByteArray kRelease = hexBytes("12 11 4A 02 00 6F");
const QString kEmitted = QStringLiteral(" j'emets une trame  \n");

struct NoDispatch : FrameDispatcher {
    void converterDataFrame() override {}
    void hpuStatusFrame() override {}
    void eepromReadAnswer() override {}
};

// The receive state machine driven as the line's own tool drove it: the data-received event
// switches a 10 ms tick on, each tick handles at most one frame, and the tick goes off once
// the buffer is empty. What decoding on arrival must give the same frames and counters as.
struct TickedReference {
    ManualTimeline timeline;
    FakeSerialPort port;
    MonitorState state;
    RawStreamTrace trace;
    NoDispatch dispatch;
    QObject owner;
    Timer* tick = timeline.create(QStringLiteral("tick"), 10, &owner);
    ReceiveStateMachine machine{state, port, trace, timeline, dispatch};

    TickedReference() {
        QObject::connect(&port, &SerialPort::dataReceived, &owner, [this] { tick->setMode(Timer::Repeating); });
        QObject::connect(tick, &Timer::timeout, &owner, [this] {
            machine.Update_RS485_State_Machine();
            if (port.bytesAvailable() == 0)
                tick->setMode(Timer::Off);
        });
        port.open({QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0")});
    }
};

// The link's main loop on an open port: the data-received event wired to the reception pacer,
// the emission timer to the emission pacer, and a converter frame arming the emission as the
// monitor does. What a frame's dispatch does besides (a slow refresh, a message box) is
// played by whileDispatching.
struct Link : FrameDispatcher {
    ManualTimeline timeline;
    FakeSerialPort port;
    MonitorState state;
    ControlsState controls;
    RawStreamTrace trace;
    QObject owner;
    Timer* emission = timeline.create(QStringLiteral("TimerEmissionRS485"), 10, &owner);
    ReceiveStateMachine machine{state, port, trace, timeline, *this};
    ReceptionPacer receptionPacer{port, machine, timeline};
    EmissionPacer emissionPacer{state, port, trace, *emission, timeline};
    std::function<void()> whileDispatching;
    QVector<qint64> writeTimes;
    int emissionTicks = 0;
    int hpuFrames = 0;

    Link() {
        QObject::connect(&port, &SerialPort::dataReceived, &owner,
                         [this] { receptionPacer.SerialConnection1_DataReceived(); });
        QObject::connect(emission, &Timer::timeout, &owner, [this] {
            ++emissionTicks;
            const int before = int(port.writes.size());
            emissionPacer.TimerEmissionRS485_Action();
            if (port.writes.size() > before)
                writeTimes.append(timeline.elapsedMs());
        });
        port.open({QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0")});
    }
    void converterDataFrame() override {
        if (whileDispatching)
            std::exchange(whileDispatching, nullptr)();
        emissionPacer.arm(controls.Textfield_timer_emission, receptionPacer.lastByteArrivalUs());
    }
    void hpuStatusFrame() override { ++hpuFrames; }
    void eepromReadAnswer() override {}

    // A button or the EEPROM window building a command, as the monitor passes it on.
    void pump() {
        HpuCommands::consignePOMPE_HPU(state);
        emissionPacer.commandQueued();
    }
    void advanceTo(qint64 at) { timeline.advance(at - timeline.elapsedMs()); }
};

using Step = std::function<void(Link&)>;

} // namespace

Q_DECLARE_METATYPE(Step)

class TestLinkPacing : public QObject {
    Q_OBJECT
private slots:
    // Decoding as the bytes arrive gives the frames, counters, trace and state that the 10 ms
    // tick gave, each whole frame handled in the event that brought its last byte.
    void decodesWhatTheTickDecoded_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QByteArray corrupted = kHpuStatus;
        corrupted[10] = char(0x00);
        QList<QByteArray> byteByByte;
        for (const char byte : kConverter + kHpuStatus + kConverter)
            byteByByte.append(QByteArray(1, byte));
        QTest::newRow("frames one by one") << QList<QByteArray>{kConverter, kHpuStatus, kConverter};
        QTest::newRow("byte by byte") << byteByByte;
        QTest::newRow("a frame in two pieces") << QList<QByteArray>{kConverter.left(7), kConverter.mid(7)};
        QTest::newRow("a header in two pieces") << QList<QByteArray>{kHpuStatus, kHpuStatus.left(2), kHpuStatus.mid(2)};
        QTest::newRow("a burst") << QList<QByteArray>{kHpuStatus + kHpuStatus + kConverter + kHpuStatus};
        QTest::newRow("junk before a frame") << QList<QByteArray>{hexBytes("12 34 56 78 9A"), kConverter};
        QTest::newRow("a bad checksum") << QList<QByteArray>{corrupted + kHpuStatus, kHpuStatus};
        QTest::newRow("an over-long announcement")
            << QList<QByteArray>{kHpuStatus, hexBytes("00 12 10 7F 01 02 03 04 05 06"), kHpuStatus, kConverter};
        QTest::newRow("a frame left incomplete") << QList<QByteArray>{kHpuStatus, kConverter.left(12)};
    }
    void decodesWhatTheTickDecoded() {
        QFETCH(QList<QByteArray>, chunks);
        TickedReference ticked;
        Link link;
        ticked.machine.setRawStreamShown(true);
        link.machine.setRawStreamShown(true);
        for (const QByteArray& chunk : chunks) {
            ticked.port.feed(chunk);
            ticked.timeline.advance(100); // ten ticks: enough for every frame of any chunk here
            link.port.feed(chunk);        // and no time at all
            QCOMPARE(link.machine.counters().converterFrames, ticked.machine.counters().converterFrames);
            QCOMPARE(link.machine.counters().hpuFrames, ticked.machine.counters().hpuFrames);
        }
        QVERIFY(ticked.machine.counters().converterFrames + ticked.machine.counters().hpuFrames > 0);
        QCOMPARE(link.machine.counters().checksumErrors, ticked.machine.counters().checksumErrors);
        QCOMPARE(link.machine.counters().junkBytes, ticked.machine.counters().junkBytes);
        QCOMPARE(link.machine.counters().overlongFrames, ticked.machine.counters().overlongFrames);
        QCOMPARE(link.machine.counters().bytesReceived, ticked.machine.counters().bytesReceived);
        QCOMPARE(link.state.StatutRS485, ticked.state.StatutRS485);
        QCOMPARE(link.port.bytesAvailable(), ticked.port.bytesAvailable());
        QCOMPARE(link.trace.text(), ticked.trace.text());
    }

    // The quiet gap is timed from the moment the converter frame's last byte arrived, however
    // the adapter hands the bytes over.
    void delayCountedFromTheLastByte_data() {
        QTest::addColumn<QList<qint64>>("times"); // when each chunk arrives
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<qint64>("writtenAt");
        QList<qint64> everyMs;
        QList<QByteArray> bytes;
        for (int i = 0; i < kConverter.size(); ++i) {
            everyMs.append(i);
            bytes.append(kConverter.mid(i, 1));
        }
        QTest::newRow("frame whole") << QList<qint64>{0} << QList<QByteArray>{kConverter} << qint64(150);
        QTest::newRow("frame in two pieces")
            << QList<qint64>{0, 9} << QList<QByteArray>{kConverter.left(7), kConverter.mid(7)} << qint64(159);
        QTest::newRow("byte by byte, 1 ms apart") << everyMs << bytes << qint64(19 + 150);
        QTest::newRow("the next frame's start in the same piece")
            << QList<qint64>{0, 6} << QList<QByteArray>{kConverter + kHpuStatus.left(5), kHpuStatus.mid(5)}
            << qint64(150);
        QTest::newRow("two converter frames in one piece")
            << QList<qint64>{30} << QList<QByteArray>{kConverter + kConverter} << qint64(180);
    }
    void delayCountedFromTheLastByte() {
        QFETCH(QList<qint64>, times);
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(qint64, writtenAt);
        Link link;
        link.pump();
        for (int i = 0; i < chunks.size(); ++i) {
            link.advanceTo(times[i]);
            link.port.feed(chunks[i]);
        }
        link.advanceTo(1000);
        QCOMPARE(link.writeTimes, QVector<qint64>{writtenAt});
        QCOMPARE(link.emissionTicks, 1);
    }

    // A frame whose dispatch holds the program (a slow refresh, a message box) keeps the gap
    // its bytes opened: the command leaves at the same moment, or, once that gap is over,
    // waits for the next converter frame (fed at 500) instead of speaking into the line late.
    void slowDispatchKeepsTheGapOfTheArrival_data() {
        QTest::addColumn<qint64>("heldMs");
        QTest::addColumn<qint64>("writtenAt");
        QTest::newRow("not held") << qint64(0) << qint64(150);
        QTest::newRow("held 40 ms") << qint64(40) << qint64(150);
        QTest::newRow("held until 1 ms before the gap's end") << qint64(149) << qint64(150);
        QTest::newRow("held to the gap's end") << qint64(150) << qint64(650);
        QTest::newRow("held past the gap") << qint64(400) << qint64(650);
    }
    void slowDispatchKeepsTheGapOfTheArrival() {
        QFETCH(qint64, heldMs);
        QFETCH(qint64, writtenAt);
        Link link;
        link.pump();
        link.whileDispatching = [&link, heldMs] { link.timeline.jump(heldMs); };
        link.port.feed(kConverter);
        link.advanceTo(500);
        link.port.feed(kConverter);
        link.advanceTo(2000);
        QCOMPARE(link.writeTimes, QVector<qint64>{writtenAt});
        QCOMPARE(link.emissionTicks, 1);
    }

    // Bytes that come while a dispatch holds the program are taken once it returns, not
    // inside it, and each frame keeps the time its own bytes arrived; bytes no event told of
    // have no known arrival and open no gap.
    void bytesArrivingDuringADispatch_data() {
        QTest::addColumn<QByteArray>("duringDispatch"); // at 30 ms
        QTest::addColumn<bool>("told");                 // with a data-received event
        QTest::addColumn<int>("hpuFrames");
        QTest::addColumn<qint64>("writtenAt");
        QTest::newRow("an HPU frame") << kHpuStatus << true << 1 << qint64(150);
        QTest::newRow("the next converter frame") << kConverter << true << 0 << qint64(180);
        QTest::newRow("a converter frame no event told of") << kConverter << false << 0 << qint64(650);
    }
    void bytesArrivingDuringADispatch() {
        QFETCH(QByteArray, duringDispatch);
        QFETCH(bool, told);
        QFETCH(int, hpuFrames);
        QFETCH(qint64, writtenAt);
        Link link;
        link.pump();
        quint64 convertersSeenInside = 0;
        link.whileDispatching = [&] {
            link.timeline.jump(30);
            link.port.feed(duringDispatch, told);
            convertersSeenInside = link.machine.counters().converterFrames;
        };
        link.port.feed(kConverter);
        QCOMPARE(convertersSeenInside, quint64(1)); // the machine was not run again inside
        QCOMPARE(link.port.bytesAvailable(), qint64(0));
        QCOMPARE(link.hpuFrames, hpuFrames);
        QCOMPARE(link.state.StatutRS485, StatutRS485::NextHeader);
        link.advanceTo(500);
        link.port.feed(kConverter);
        link.advanceTo(2000);
        QCOMPARE(link.writeTimes, QVector<qint64>{writtenAt});
    }

    void pendingCommandWrittenOnceAfterTheDelay() {
        Link link;
        HpuCommands::consignePOMPE_HPU(link.state);
        link.port.feed(kConverter);
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
        QCOMPARE(link.writeTimes, QVector<qint64>{100 + 150});
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
            QCOMPARE(link.emission->mode(), Timer::Off);
            link.timeline.advance(200);
        }
        QCOMPARE(link.emissionTicks, 0);
        QVERIFY(link.port.writes.isEmpty());
        QVERIFY(link.trace.text().isEmpty());
    }

    // A command built during the quiet gap leaves when the gap ends (frame arrived at 0,
    // delay 150: at 150), as one built before the frame does; one built after the gap waits
    // for the next converter frame (arriving at 300: at 450). One tick per command.
    void commandBuiltDuringTheGapLeavesAtItsEnd_data() {
        QTest::addColumn<qint64>("builtAt"); // -1: before the frame
        QTest::addColumn<qint64>("writtenAt");
        QTest::newRow("before the frame") << qint64(-1) << qint64(150);
        QTest::newRow("as the gap opens") << qint64(0) << qint64(150);
        QTest::newRow("mid-gap") << qint64(60) << qint64(150);
        QTest::newRow("1 ms before the end") << qint64(149) << qint64(150);
        QTest::newRow("at the end: next frame") << qint64(150) << qint64(450);
        QTest::newRow("after the gap: next frame") << qint64(200) << qint64(450);
    }
    void commandBuiltDuringTheGapLeavesAtItsEnd() {
        QFETCH(qint64, builtAt);
        QFETCH(qint64, writtenAt);
        Link link;
        if (builtAt < 0)
            link.pump();
        link.port.feed(kConverter);
        if (builtAt >= 0) {
            link.advanceTo(builtAt);
            link.pump();
        }
        link.advanceTo(300);
        link.port.feed(kConverter);
        link.advanceTo(2000);
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
        QCOMPARE(link.writeTimes, QVector<qint64>{500 + 150});
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
            const qint64 frameAt = link.timeline.elapsedMs();
            link.port.feed(kConverter);
            link.timeline.advance(1000);
            QCOMPARE(link.writeTimes, QVector<qint64>{frameAt + link.emissionPacer.delayMs()});
        }
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
        QCOMPARE(link.writeTimes, QVector<qint64>{150});
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

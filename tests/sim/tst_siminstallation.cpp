// The simulated installation as the tool hears it: frames, pacing, answers and timing.
#include "BusCapture.h"
#include "Hex.h"
#include "ManualTimeline.h"
#include "core/Captions.h"
#include "display/ConverterDecoder.h"
#include "display/HpuDecoder.h"
#include "link/Frame.h"
#include "monitor/ReadingsRecord.h"
#include "sim/SimulatedInstallation.h"

#include <QTest>

using namespace Sim;

namespace {

struct Rig {
    explicit Rig(SimulationSettings settings = {})
        : sim(timeline, timeline, std::move(settings)) {}
    ManualTimeline timeline;
    SimulatedInstallation sim;
    BusCapture capture{sim, timeline};
};

QByteArray command(const char* hex) {
    return Frame::withChecksum(hexBytes(hex));
}

QByteArray writeRequest(int address, int value) {
    QByteArray frame = hexBytes("12 11 45 05");
    frame.append(char(address));
    frame.append(char((value >> 8) & 0xFF));
    frame.append(char(value & 0xFF));
    return Frame::withChecksum(frame);
}

} // namespace

class TestSimulatedInstallation : public QObject {
    Q_OBJECT
private slots:
    void converterFramesAreValidAndPlausible_data();
    void converterFramesAreValidAndPlausible();
    void hpuStatusFramesEveryHalfSecond();
    void bytesArePacedAt9600BitsPerSecond();
    void wholeFrameDeliveryHandsEachFrameOverAtItsEnd();
    void commandsAreTimedFromTheConverterFrameEnd();
    void pumpRaisesAndReleaseLowersThePressure();
    void pressureStaysBetweenZeroAndPressureMax();
    void readAnswerHasTheEditorsLayout_data();
    void readAnswerHasTheEditorsLayout();
    void writeIsAcknowledgedAndReadBack_data();
    void writeIsAcknowledgedAndReadBack();
    void refusedWritesGetNoAcknowledgement_data();
    void refusedWritesGetNoAcknowledgement();
    void sameSeedGivesTheSameLine();
    void checksumFaultsReachTheLine();
};

void TestSimulatedInstallation::converterFramesAreValidAndPlausible_data() {
    QTest::addColumn<ProtocolVersion>("protocol");
    QTest::addColumn<QString>("recognisedAs");
    QTest::addColumn<bool>("secondSpeed");
    QTest::newRow("V1: tenths, two speeds in 15 rpm steps") << ProtocolVersion::V1 << "V1" << true;
    QTest::newRow("V2: thousandths, one speed in 1.5 rpm steps") << ProtocolVersion::V2 << "V2" << false;
}

void TestSimulatedInstallation::converterFramesAreValidAndPlausible() {
    QFETCH(ProtocolVersion, protocol);
    QFETCH(QString, recognisedAs);
    QFETCH(bool, secondSpeed);
    SimulationSettings settings;
    settings.protocol = protocol;
    Rig rig(settings);
    rig.sim.start();
    rig.timeline.advance(120000); // two minutes: the slow swings of every value

    const auto frames = rig.capture.framesStartingWith("00011010");
    QCOMPARE(frames.size(), 120000 / 200); // the frame due at the very end is still on its way
    MonitorState state;
    state.ProtocoleVersion = protocol == ProtocolVersion::V1 ? "V2" : "V1"; // the frames must switch it
    double lastInputVoltage = -1;
    int changes = 0;
    for (int i = 0; i < frames.size(); ++i) {
        const QByteArray& f = frames[i].bytes;
        QCOMPARE(f.size(), 20);
        QVERIFY2(frames[i].checksumOk(), qPrintable(hexString(f)));
        if (i > 0)
            QCOMPARE(frames[i].firstByteMs - frames[i - 1].firstByteMs, qint64(200));

        // Decoded as the tool decodes them.
        std::copy(f.begin(), f.end(), state.TrameBuffer.begin());
        keepConverterReading(state, decodeConverterFrame(state.TrameBuffer));
        QCOMPARE(state.ProtocoleVersion, recognisedAs);
        QVERIFY2(state.U_in >= 45.0 && state.U_in <= 50.0, qPrintable(QString::number(state.U_in)));
        QVERIFY2(state.U_out >= 26.0 && state.U_out <= 28.0, qPrintable(QString::number(state.U_out)));
        QVERIFY2(state.I_out >= 2.0 && state.I_out <= 5.0, qPrintable(QString::number(state.I_out)));
        QVERIFY2(state.TempCV >= 33.0 && state.TempCV <= 37.0, qPrintable(QString::number(state.TempCV)));
        QVERIFY2(state.RPM1 >= 1400 && state.RPM1 <= 1600, qPrintable(QString::number(state.RPM1)));
        if (secondSpeed)
            QVERIFY(state.RPM2 >= state.RPM1 && state.RPM2 <= state.RPM1 + 30);
        else
            QCOMPARE(state.RPM2, qint64(0));
        QCOMPARE(state.P_out, state.U_out * state.I_out);

        // Slowly varying: the input voltage moves, but never by more than a tenth of a volt per frame.
        if (lastInputVoltage >= 0) {
            QVERIFY(qAbs(state.U_in - lastInputVoltage) <= 0.1 + 1e-9);
            changes += state.U_in != lastInputVoltage ? 1 : 0;
        }
        lastInputVoltage = state.U_in;
    }
    QVERIFY(changes > 20);
}

void TestSimulatedInstallation::hpuStatusFramesEveryHalfSecond() {
    Rig rig;
    rig.sim.start();
    rig.timeline.advance(10100); // the frames due at 10000 are through as well
    const auto frames = rig.capture.framesStartingWith("00121007");
    QCOMPARE(frames.size(), 20);
    for (int i = 0; i < frames.size(); ++i) {
        const qint64 due = 40 + 500 * (i + 1);
        QCOMPARE(frames[i].bytes.size(), 11);
        QVERIFY(frames[i].checksumOk());
        // Left alone: 2.50 bar, automatic mode, no pitch correction, classic pitch design.
        QCOMPARE(hexString(frames[i].bytes.mid(4, 5)), QStringLiteral("00 FA FF 00 00"));
        MonitorState state;
        std::copy(frames[i].bytes.begin(), frames[i].bytes.end(), state.TrameBuffer.begin());
        keepHpuReading(state, decodeHpuStatusFrame(state.TrameBuffer));
        QCOMPARE(state.Pression, 2.5);
        QCOMPARE(state.ModeHPU, QStringLiteral("Auto"));
        QCOMPARE(state.Pitch, App::text(App::Caption::kPitchInactive));
        // Every 500 ms, 40 ms out of step with the converter so that the two never collide.
        QCOMPARE(frames[i].firstByteMs, due + 2);
    }
    // Every byte on the line belongs to a whole frame: the two devices never talk over each other.
    int total = 0;
    for (const auto& f : rig.capture.frames()) {
        QVERIFY(f.checksumOk());
        total += f.bytes.size();
    }
    QCOMPARE(total, rig.capture.bytes.size());
}

void TestSimulatedInstallation::bytesArePacedAt9600BitsPerSecond() {
    Rig rig;
    rig.sim.start();
    rig.timeline.advance(30);
    // The first converter frame, sent at 0: ten bits per byte at 9600 bit/s.
    QCOMPARE(rig.capture.bytes.size(), 20);
    for (int i = 0; i < 20; ++i) {
        const qint64 endUs = qint64(i + 1) * 10 * 1000000 / 9600; // 1041 us, 2083 us, ... 20833 us
        const qint64 atUs = rig.capture.bytes[i].atMs * 1000;
        QVERIFY2(atUs >= endUs && atUs < endUs + 1000,
                 qPrintable(QStringLiteral("byte %1 at %2 ms").arg(i).arg(atUs / 1000)));
    }
    QCOMPARE(rig.capture.bytes.first().atMs, qint64(2));
    QCOMPARE(rig.capture.bytes.last().atMs, qint64(21)); // the frame takes 20.8 ms
    QCOMPARE(rig.sim.lastConverterFrameEndMs(), qint64(21));

    // A 37-byte read answer takes 38.5 ms and starts two milliseconds after the request.
    rig.timeline.advance(141); // 150 ms after the frame
    rig.sim.receive(command("12 11 4C 02"));
    rig.timeline.advance(45);
    const auto answers = rig.capture.framesStartingWith("00124C");
    QCOMPARE(answers.size(), 1);
    QCOMPARE(answers[0].firstByteMs, qint64(171 + 2 + 2));
    QCOMPARE(answers[0].lastByteMs, qint64(171 + 2 + 39));
}

void TestSimulatedInstallation::wholeFrameDeliveryHandsEachFrameOverAtItsEnd() {
    SimulationSettings settings;
    settings.delivery = ByteDelivery::WholeFrame;
    Rig rig(settings);
    QVector<QPair<qint64, int>> handovers; // when, how many bytes
    QObject::connect(&rig.sim, &SimulatedInstallation::bytesSent, [&](const QByteArray& b) {
        handovers.append({rig.timeline.elapsedMs(), int(b.size())});
    });
    rig.sim.start();
    rig.timeline.advance(20);
    QVERIFY(handovers.isEmpty()); // the frame's last byte is still on the line
    rig.timeline.advance(10);
    QCOMPARE(handovers, (QVector<QPair<qint64, int>>{{21, 20}}));
    QCOMPARE(rig.sim.lastConverterFrameEndMs(), qint64(21));

    // Paced as before: the read answer starts two milliseconds after the request and is
    // handed over whole 38.5 ms later.
    rig.timeline.advance(141);
    rig.sim.receive(command("12 11 4C 02"));
    rig.timeline.advance(45);
    QCOMPARE(handovers.size(), 2);
    QCOMPARE(handovers[1], qMakePair(qint64(171 + 2 + 39), 37));
    QVERIFY(rig.capture.stream().contains(hexBytes("00 12 4C")));
}

void TestSimulatedInstallation::commandsAreTimedFromTheConverterFrameEnd() {
    Rig rig;
    rig.sim.receive(command("12 11 48 02"));
    QCOMPARE(rig.sim.commands().size(), 1);
    QCOMPARE(rig.sim.commands()[0].delayMs, qint64(-1)); // no converter frame yet

    rig.sim.start();
    rig.timeline.advance(171); // the first frame ended at 21 ms
    rig.sim.receive(command("12 11 48 02"));
    QCOMPARE(rig.sim.commands().size(), 2);
    QCOMPARE(rig.sim.commands()[1].delayMs, qint64(150));
    QCOMPARE(rig.sim.commands()[1].atMs, qint64(171));
    QCOMPARE(rig.sim.commands()[1].name(), QStringLiteral("pump"));
    QVERIFY(rig.sim.commands()[1].checksumOk);

    // Measured from the latest frame (sent at 400, ended at 421); a command split across
    // two writes and led by noise counts from its own first byte.
    rig.timeline.advance(400 + 21 + 30 - 171);
    rig.sim.receive(hexBytes("FF 12 11 4A"));
    rig.timeline.advance(3);
    rig.sim.receive(hexBytes("02 00 6F"));
    QCOMPARE(rig.sim.commands().size(), 3);
    QCOMPARE(rig.sim.commands()[2].bytes, hexBytes("12 11 4A 02 00 6F"));
    QCOMPARE(rig.sim.commands()[2].name(), QStringLiteral("release"));
    QCOMPARE(rig.sim.commands()[2].delayMs, qint64(30));

    rig.sim.receive(hexBytes("12 11 4C 02 00 72"));
    QCOMPARE(rig.sim.commands().size(), 4);
    QVERIFY(!rig.sim.commands()[3].checksumOk);
}

void TestSimulatedInstallation::pumpRaisesAndReleaseLowersThePressure() {
    Rig rig;
    rig.sim.start();
    rig.timeline.advance(1040); // status frames at 540 and 1040
    rig.sim.receive(command("12 11 48 02"));
    rig.timeline.advance(4000); // pumping for 3 s at 1 bar/s, then idle
    rig.sim.receive(command("12 11 4A 02"));
    rig.timeline.advance(3520); // releasing for 3 s at 1.5 bar/s, then idle

    // As the tool shows them: pressure, mode and pitch correction of each status frame.
    QStringList seen;
    MonitorState state;
    for (const auto& f : rig.capture.framesStartingWith("00121007")) {
        std::copy(f.bytes.begin(), f.bytes.end(), state.TrameBuffer.begin());
        keepHpuReading(state, decodeHpuStatusFrame(state.TrameBuffer));
        seen << QStringLiteral("%1 %2 %3").arg(state.Pression, 0, 'f', 2).arg(state.ModeHPU, state.Pitch);
    }
    const QString pumping = App::text(App::Caption::kPitchPump);
    const QString releasing = App::text(App::Caption::kPitchRelease);
    const QString idle = App::text(App::Caption::kPitchInactive);
    const QStringList expected = {
        "2.50 Auto " + idle,        "2.50 Auto " + idle, // 540, 1040
        "3.00 Manuel " + pumping,   "3.50 Manuel " + pumping,   "4.00 Manuel " + pumping,
        "4.50 Manuel " + pumping,   "5.00 Manuel " + pumping,                        // 1540 .. 3540
        "5.50 Auto " + idle,        "5.50 Auto " + idle,        "5.50 Auto " + idle, // 4040 .. 5040: holding
        "4.75 Manuel " + releasing, "4.00 Manuel " + releasing, "3.25 Manuel " + releasing,
        "2.50 Manuel " + releasing, "1.75 Manuel " + releasing, // 5540 .. 7540
        "1.00 Auto " + idle,        "1.00 Auto " + idle,        // 8040, 8540
    };
    QCOMPARE(seen, expected);
}

void TestSimulatedInstallation::pressureStaysBetweenZeroAndPressureMax() {
    Rig rig;
    rig.sim.start();
    rig.sim.receive(writeRequest(30, 300)); // PRESSION_MAX 3.00 bar
    rig.sim.receive(command("12 11 48 02"));
    rig.timeline.advance(3000);
    QCOMPARE(rig.sim.hpu().pressureBar(rig.timeline.elapsedMs()), 3.00);
    rig.sim.receive(command("12 11 4A 02"));
    rig.timeline.advance(3000);
    rig.sim.receive(command("12 11 4A 02"));
    rig.timeline.advance(3000);
    const auto frames = rig.capture.framesStartingWith("00121007");
    QCOMPARE(word(frames.last().bytes, 4), 0);
    for (const auto& f : frames)
        QVERIFY(word(f.bytes, 4) <= 300);
}

void TestSimulatedInstallation::readAnswerHasTheEditorsLayout_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("value");
    QTest::newRow("29 TYPE_PALES") << 4 << 1 << 0;
    QTest::newRow("30 PRESSION_MAX") << 5 << 2 << 800;
    QTest::newRow("31 PRESSION_MIN") << 7 << 2 << 50;
    QTest::newRow("32 INCREMENT_PRESSION") << 9 << 1 << 50;
    QTest::newRow("33 TENSION_ALTERNATEUR_HAUTE") << 10 << 2 << 500;
    QTest::newRow("34 TENSION_ALTERNATEUR_BASSE") << 12 << 2 << 200;
    QTest::newRow("35 RPM_ALTERNATEUR_MIN") << 14 << 2 << 900;
    QTest::newRow("36 RPM_ALTERNATEUR_HAUTE") << 16 << 2 << 1800;
    QTest::newRow("37 PUISSANCE_ALTERNATEUR_MAX") << 18 << 2 << 550;
    QTest::newRow("38 PUISSANCE_ALTERNATEUR_MIN") << 20 << 2 << 200;
    QTest::newRow("39 TEMPS_ACTIVATION_EV_TRES_BASSE_PRESSION") << 22 << 1 << 20;
    QTest::newRow("40 TEMPS_ACTIVATION_EV") << 23 << 1 << 2;
    QTest::newRow("41 TEMPS_ACTIVATION_EV_DECOLLAGE_JOINT") << 24 << 1 << 8;
    QTest::newRow("42 TEMPS_ATTENTE") << 25 << 1 << 30;
    QTest::newRow("43 PWM_MOTEUR_NOMINALE") << 26 << 1 << 80;
    QTest::newRow("44 TEMPS_FREQUENCE_NULLE") << 27 << 2 << 4000;
    QTest::newRow("45 TEMPO_MISE_DRAPEAU") << 29 << 2 << 15000;
    QTest::newRow("board number") << 31 << 2 << 42;
    QTest::newRow("software version") << 33 << 2 << 112;
}

void TestSimulatedInstallation::readAnswerHasTheEditorsLayout() {
    QFETCH(int, offset);
    QFETCH(int, width);
    QFETCH(int, value);
    Rig rig;
    rig.sim.start();
    rig.timeline.advance(171);
    rig.sim.receive(hexBytes("12 11 4C 02 00 71"));
    rig.timeline.advance(60);
    const auto answers = rig.capture.framesStartingWith("00124C21");
    QCOMPARE(answers.size(), 1);
    const QByteArray& a = answers[0].bytes;
    QCOMPARE(a.size(), 37);
    QVERIFY(answers[0].checksumOk());
    QCOMPARE(width == 1 ? int(quint8(a[offset])) : word(a, offset), value);
}

void TestSimulatedInstallation::writeIsAcknowledgedAndReadBack_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("readBack");
    QTest::newRow("two-byte PRESSION_MAX") << 30 << 750 << 5 << 2 << 750;
    QTest::newRow("one-byte PWM_MOTEUR_NOMINALE") << 43 << 200 << 26 << 1 << 200;
    QTest::newRow("largest TEMPO_MISE_DRAPEAU") << 45 << 65535 << 29 << 2 << 65535;
    QTest::newRow("one-byte TYPE_PALES keeps the low byte") << 29 << 0x0101 << 4 << 1 << 1;
}

void TestSimulatedInstallation::writeIsAcknowledgedAndReadBack() {
    QFETCH(int, address);
    QFETCH(int, value);
    QFETCH(int, offset);
    QFETCH(int, width);
    QFETCH(int, readBack);
    Rig rig;
    rig.sim.start();
    rig.timeline.advance(171);
    rig.sim.receive(writeRequest(address, value));
    rig.timeline.advance(200);
    const auto acks = rig.capture.framesStartingWith("001242");
    QCOMPARE(acks.size(), 1);
    QCOMPARE(acks[0].bytes, hexBytes("00 12 42 02 00 56"));

    rig.sim.receive(hexBytes("12 11 4C 02 00 71"));
    rig.timeline.advance(200);
    const auto answers = rig.capture.framesStartingWith("00124C");
    QCOMPARE(answers.size(), 1);
    const QByteArray& a = answers[0].bytes;
    QCOMPARE(width == 1 ? int(quint8(a[offset])) : word(a, offset), readBack);
    QVERIFY(answers[0].checksumOk());
}

void TestSimulatedInstallation::refusedWritesGetNoAcknowledgement_data() {
    QTest::addColumn<QByteArray>("request");
    QByteArray corrupted = writeRequest(30, 750);
    corrupted[8] = char(corrupted[8] ^ 0x01);
    QTest::newRow("bad checksum") << corrupted;
    QTest::newRow("address 28 holds no parameter") << writeRequest(28, 750);
    QTest::newRow("address 46 holds no parameter") << writeRequest(46, 750);
}

void TestSimulatedInstallation::refusedWritesGetNoAcknowledgement() {
    QFETCH(QByteArray, request);
    Rig rig;
    rig.sim.start();
    rig.timeline.advance(171);
    rig.sim.receive(request);
    rig.timeline.advance(200);
    rig.sim.receive(hexBytes("12 11 4C 02 00 71"));
    rig.timeline.advance(200);
    QVERIFY(rig.capture.framesStartingWith("001242").isEmpty());
    const auto answers = rig.capture.framesStartingWith("00124C");
    QCOMPARE(answers.size(), 1);
    QCOMPARE(word(answers[0].bytes, 5), 800); // PRESSION_MAX unchanged
}

void TestSimulatedInstallation::sameSeedGivesTheSameLine() {
    SimulationSettings settings;
    settings.faults.rate = 0.3;
    settings.faults.seed = 7;
    Rig first(settings), second(settings);
    settings.faults.seed = 8;
    Rig other(settings);
    for (Rig* rig : {&first, &second, &other}) {
        rig->sim.start();
        rig->timeline.advance(20000);
    }
    QCOMPARE(first.capture.stream(), second.capture.stream());
    QVERIFY(first.capture.stream() != other.capture.stream());
    int faults = 0;
    for (FaultKind kind : settings.faults.kinds)
        faults += first.sim.faults().count(kind);
    QVERIFY(faults > 10);
}

void TestSimulatedInstallation::checksumFaultsReachTheLine() {
    SimulationSettings settings;
    settings.faults.rate = 0.25;
    settings.faults.kinds = {FaultKind::BadChecksum};
    Rig rig(settings);
    int signalled = 0;
    connect(&rig.sim, &SimulatedInstallation::faultInjected, [&](Device, FaultKind kind) {
        QCOMPARE(kind, FaultKind::BadChecksum);
        ++signalled;
    });
    rig.sim.start();
    rig.timeline.advance(60000 - 100); // no frame still on its way at the end
    int bad = 0;
    const auto frames = rig.capture.frames();
    for (const auto& f : frames)
        bad += f.checksumOk() ? 0 : 1;
    QCOMPARE(frames.size(), 300 + 119);
    QCOMPARE(bad, rig.sim.faults().count(FaultKind::BadChecksum));
    QCOMPARE(bad, signalled);
    QVERIFY2(bad > 419 * 0.25 * 0.7 && bad < 419 * 0.25 * 1.3, qPrintable(QString::number(bad)));
}

QTEST_GUILESS_MAIN(TestSimulatedInstallation)
#include "tst_siminstallation.moc"

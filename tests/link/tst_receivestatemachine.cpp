#include "FakeSerialPort.h"
#include "Hex.h"
#include "ManualTimeline.h"
#include "link/Frame.h"
#include "link/HpuCommands.h"
#include "link/ReceiveStateMachine.h"

#include <QTest>

namespace {

// Frames as the devices send them.
const QByteArray kConverter =
    hexBytes("00 01 10 10 02 0D 30 D4 13 88 AB CD 01 2C 00 C8 00 00 04 3C"); // checksum 0x043C
const QString kConverterDump = QStringLiteral("0 1 10 10 2 D 30 D4 13 88 AB CD 1 2C 0 C8 0 0 4 3C \n");
const QByteArray kHpuStatus = hexBytes("00 12 10 07 01 F4 FF 00 00 02 1D");
const QString kHpuStatusDump = QStringLiteral("0 12 10 7 1 F4 FF 0 0 2 1D \n");

QByteArray eepromReadAnswer(int lengthByte) {
    QByteArray frame = hexBytes("00 12 4C");
    frame.append(char(lengthByte));
    for (int i = 0; i < lengthByte - 2; ++i)
        frame.append(char(0x30 + i));
    return Frame::withChecksum(frame);
}
const QByteArray kWriteAck = Frame::withChecksum(hexBytes("00 12 42 03 01"));

QString dumpOf(const QByteArray& frame) {
    QString line;
    for (char c : frame)
        line += QString::number(quint8(c), 16).toUpper() + QLatin1Char(' ');
    return line + QLatin1Char('\n');
}

class RecordingDispatcher : public FrameDispatcher {
public:
    explicit RecordingDispatcher(MonitorState& state)
        : state_(state) {}
    void converterDataFrame() override { calls << QStringLiteral("converter"); }
    void hpuStatusFrame() override { calls << QStringLiteral("hpu"); }
    void eepromReadAnswer() override {
        calls << QStringLiteral("eeprom read");
        HpuCommands::stockAnswerHPU(state_);
    }
    void eepromReadAnswerIncomplete() override { calls << QStringLiteral("eeprom incomplete"); }
    void eepromWriteAcknowledged() override { calls << QStringLiteral("eeprom write"); }
    QStringList calls;

private:
    MonitorState& state_;
};

// The receive side of the line on its own: a scripted port, the state, the trace.
struct Line {
    ManualTimeline timeline;
    FakeSerialPort port;
    MonitorState state;
    RawStreamTrace trace;
    RecordingDispatcher dispatcher{state};
    ReceiveStateMachine machine{state, port, trace, timeline, dispatcher};

    void run(int calls) {
        for (int i = 0; i < calls; ++i)
            machine.Update_RS485_State_Machine();
    }
};

} // namespace

class TestReceiveStateMachine : public QObject {
    Q_OBJECT
private slots:
    void streams_data() {
        QTest::addColumn<qint64>("startState");
        QTest::addColumn<bool>("rawStreamPage");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("calls");
        QTest::addColumn<qint64>("endState");
        QTest::addColumn<QString>("trace");
        QTest::addColumn<QStringList>("dispatched");
        QTest::addColumn<int>("left");

        const QStringList none;
        const QStringList converter{QStringLiteral("converter")};
        const QStringList hpu{QStringLiteral("hpu")};
        const QStringList eepromRead{QStringLiteral("eeprom read")};

        QTest::newRow("whole converter frame: 0 to 1 in one call")
            << qint64(0) << false << kConverter << 1 << qint64(1) << QString() << converter << 0;
        QTest::newRow("frame dump on the raw-stream page")
            << qint64(0) << true << kHpuStatus << 1 << qint64(1) << kHpuStatusDump << hpu << 0;
        QTest::newRow("converter dump, bytes without leading zero")
            << qint64(0) << true << kConverter << 1 << qint64(1) << kConverterDump << converter << 0;
        QTest::newRow("one frame per call, the next header waits")
            << qint64(0) << false << kConverter + kHpuStatus << 1 << qint64(1) << QString() << converter
            << 11;
        QTest::newRow("next frame at the next call")
            << qint64(0) << false << kConverter + kHpuStatus << 2 << qint64(1) << QString()
            << QStringList{QStringLiteral("converter"), QStringLiteral("hpu")} << 0;

        QTest::newRow("junk1: no header, partial header discarded too")
            << qint64(0) << false << hexBytes("AA BB CC 00 01") << 1 << qint64(0)
            << QStringLiteral(" junk1:  AA BB CC 00 01\n") << none << 0;
        QTest::newRow("junk1 traced off the raw-stream page as well")
            << qint64(0) << true << hexBytes("0A 0B 0C 0D 0E F0") << 1 << qint64(0)
            << QStringLiteral(" junk1:  0A 0B 0C 0D 0E F0\n") << none << 0;
        QTest::newRow("junk2: only the bytes before the header")
            << qint64(0) << false << hexBytes("AA BB") + kHpuStatus << 1 << qint64(0)
            << QStringLiteral(" junk2:  AA BB\n") << none << 11;
        QTest::newRow("junk2, then the header at the next call")
            << qint64(0) << false << hexBytes("AA BB") + kHpuStatus << 2 << qint64(1)
            << QStringLiteral(" junk2:  AA BB\n") << hpu << 0;
        QTest::newRow("earliest header wins: HPU before converter")
            << qint64(0) << false << hexBytes("AA") + kHpuStatus + kConverter << 2 << qint64(1)
            << QStringLiteral(" junk2:  AA\n") << hpu << 20;
        QTest::newRow("earliest header wins: converter before HPU")
            << qint64(0) << false << hexBytes("AA") + kConverter + kHpuStatus << 2 << qint64(1)
            << QStringLiteral(" junk2:  AA\n") << converter << 11;

        QTest::newRow("four bytes never acted on in search")
            << qint64(0) << false << hexBytes("00 01 10 10") << 3 << qint64(0) << QString() << none << 4;
        QTest::newRow("four garbage bytes never discarded in search")
            << qint64(0) << false << hexBytes("AA BB CC DD") << 3 << qint64(0) << QString() << none << 4;
        QTest::newRow("four bytes never acted on in next header")
            << qint64(1) << false << hexBytes("00 01 10 10") << 3 << qint64(1) << QString() << none << 4;
        QTest::newRow("incomplete frame waits in body, no time-out")
            << qint64(0) << false << kConverter.left(15) << 5 << qint64(2) << QString() << none << 11;

        QTest::newRow("stray 00 dropped and traced on the raw-stream page")
            << qint64(1) << true << hexBytes("00") + kConverter << 1 << qint64(1)
            << kConverterDump + QStringLiteral(" 00 en trop \n") << converter << 0;
        QTest::newRow("stray FF dropped and traced on the raw-stream page")
            << qint64(1) << true << hexBytes("FF") + kHpuStatus << 1 << qint64(1)
            << kHpuStatusDump + QStringLiteral(" FF en trop \n") << hpu << 0;
        QTest::newRow("stray FE dropped and traced on the raw-stream page")
            << qint64(1) << true << hexBytes("FE") + kHpuStatus << 1 << qint64(1)
            << kHpuStatusDump + QStringLiteral(" FE en trop \n") << hpu << 0;
        QTest::newRow("stray 00 dropped silently on the values page")
            << qint64(1) << false << hexBytes("00") + kConverter << 1 << qint64(1) << QString() << converter
            << 0;
        QTest::newRow("stray FF dropped silently on the values page")
            << qint64(1) << false << hexBytes("FF") + kHpuStatus << 1 << qint64(1) << QString() << hpu << 0;
        QTest::newRow("a stray byte is not dropped in search")
            << qint64(0) << false << hexBytes("00") + kConverter << 1 << qint64(0)
            << QStringLiteral(" junk2:  00\n") << none << 20;

        QTest::newRow("announced total 101: junk4, buffer emptied")
            << qint64(1) << false << hexBytes("00 01 10 61 AA BB") << 1 << qint64(0)
            << QStringLiteral(" junk4:  AA BB\n") << none << 0;
        QTest::newRow("announced total 42 cannot be held: junk4")
            << qint64(1) << false << hexBytes("00 12 4C 26 AA BB CC") << 1 << qint64(0)
            << QStringLiteral(" junk4:  AA BB CC\n") << none << 0;
        QTest::newRow("announced total 41 is read as a frame, not as the EEPROM answer")
            << qint64(1) << false << eepromReadAnswer(0x25) << 1 << qint64(1)
            << QStringLiteral("envoi EEPROM incomplet\n") << QStringList{QStringLiteral("eeprom incomplete")}
            << 0;

        QTest::newRow("checksum error: both values, back to search")
            << qint64(0) << false << hexBytes("00 12 10 07 FF FF FF FF A9 04 D2") << 1 << qint64(0)
            << QStringLiteral("erreur CRC : 1234au lieu de 1230\n") << none << 0;
        QTest::newRow("checksum error: values with at least two digits")
            << qint64(1) << false << hexBytes("01 02 00 00 AA") << 1 << qint64(0)
            << QStringLiteral("erreur CRC : 00au lieu de 03\n") << none << 1;
        QTest::newRow("checksum error traced after the dump on the raw-stream page")
            << qint64(0) << true << hexBytes("00 12 10 07 FF FF FF FF A9 04 D2") << 1 << qint64(0)
            << QStringLiteral("erreur CRC : 1234au lieu de 1230\n0 12 10 7 FF FF FF FF A9 4 D2 \n") << none
            << 0;

        QTest::newRow("EEPROM read answer, byte 3 = 0x21")
            << qint64(1) << false << eepromReadAnswer(0x21) << 1 << qint64(1)
            << QStringLiteral("envoi EEPROM valide\n") << eepromRead << 0;
        QTest::newRow("EEPROM read answer, byte 3 = 0x05: incomplete")
            << qint64(1) << false << eepromReadAnswer(0x05) << 1 << qint64(1)
            << QStringLiteral("envoi EEPROM incomplet\n") << QStringList{QStringLiteral("eeprom incomplete")}
            << 0;
        QTest::newRow("EEPROM read answer, byte 3 = 0x20: incomplete")
            << qint64(1) << false << eepromReadAnswer(0x20) << 1 << qint64(1)
            << QStringLiteral("envoi EEPROM incomplet\n") << QStringList{QStringLiteral("eeprom incomplete")}
            << 0;
        QTest::newRow("EEPROM write acknowledgement, traced after the dump")
            << qint64(1) << true << kWriteAck << 1 << qint64(1)
            << QStringLiteral("ecriture EEPROM pris en compte\n") + dumpOf(kWriteAck)
            << QStringList{QStringLiteral("eeprom write")} << 0;
        QTest::newRow("echo of the tool's own command consumed silently")
            << qint64(1) << false << hexBytes("12 11 48 02 00 6D") << 1 << qint64(1) << QString() << none
            << 0;
    }
    void streams() {
        QFETCH(qint64, startState);
        QFETCH(bool, rawStreamPage);
        QFETCH(QByteArray, bytes);
        QFETCH(int, calls);
        QFETCH(qint64, endState);
        QFETCH(QString, trace);
        QFETCH(QStringList, dispatched);
        QFETCH(int, left);

        Line line;
        line.state.StatutRS485 = StatutRS485(startState);
        line.machine.setRawStreamShown(rawStreamPage);
        line.port.feed(bytes);
        line.run(calls);

        QCOMPARE(qint64(line.state.StatutRS485), endState);
        QCOMPARE(line.trace.text(), trace);
        QCOMPARE(line.dispatcher.calls, dispatched);
        QCOMPARE(int(line.port.bytesAvailable()), left);
    }

    // What each kind of valid frame leaves in the state besides its consumer's work.
    void dispatchBookkeeping() {
        Line line;
        line.timeline.advance(1234);
        line.port.feed(kConverter);
        line.run(1);
        QCOMPARE(line.state.timeLastDataCV, qint64(1234));
        QCOMPARE(line.state.timeLastDataHPU, qint64(0));
        QVERIFY(!line.state.presenceHPU);

        line.timeline.advance(100);
        line.port.feed(kHpuStatus);
        line.run(1);
        QVERIFY(line.state.presenceHPU);
        QCOMPARE(line.state.timeLastDataHPU, qint64(1334));

        line.state.presenceHPU = false;
        line.state.TrameBufferEEPROM.fill(0x77);
        // An answer cut short: the HPU is heard, nothing of the answer is kept or flagged.
        line.timeline.advance(50);
        line.port.feed(eepromReadAnswer(0x19));
        line.run(1);
        QVERIFY(!line.state.reponseHPU);
        QCOMPARE(line.state.timeLastDataHPU, qint64(1384));
        QCOMPARE(quint8(line.state.TrameBufferEEPROM[4]), quint8(0x77));

        line.timeline.advance(50);
        const QByteArray answer = eepromReadAnswer(0x21);
        line.port.feed(answer);
        line.run(1);
        QVERIFY(line.state.reponseHPU);
        QVERIFY(!line.state.presenceHPU); // only a status frame shows the HPU present
        QCOMPARE(line.state.timeLastDataHPU, qint64(1434));
        QCOMPARE(
            hexString(QByteArray(reinterpret_cast<const char*>(line.state.TrameBufferEEPROM.data()), 37)),
            hexString(answer));
        QCOMPARE(quint8(line.state.TrameBufferEEPROM[37]), quint8(0x77)); // later entries kept

        line.timeline.advance(100);
        line.port.feed(kWriteAck);
        line.run(1);
        QVERIFY(line.state.reponseecritureHPU);
        QCOMPARE(line.state.timeLastDataHPU, qint64(1534));
        QCOMPARE(line.state.timeLastDataCV, qint64(1234));
    }

    // A checksum error changes no measurement, flag, stamp or emission string.
    void checksumErrorDispatchesNothing() {
        Line line;
        line.timeline.advance(500);
        HpuCommands::consignePOMPE_HPU(line.state);
        QByteArray bad = eepromReadAnswer(0x21);
        bad[10] = char(bad[10] ^ 0x01);
        line.state.StatutRS485 = StatutRS485::NextHeader;
        line.port.feed(bad);
        line.run(1);
        QVERIFY(line.trace.text().startsWith(QStringLiteral("erreur CRC : ")));
        QCOMPARE(line.state.StatutRS485, StatutRS485::Search);
        QVERIFY(!line.state.reponseHPU);
        QCOMPARE(line.state.timeLastDataHPU, qint64(0));
        QVERIFY(line.state.strbufferEmission.isEmpty());
        QCOMPARE(line.state.TrameBufferEEPROM, ByteArray41{});
        QVERIFY(line.dispatcher.calls.isEmpty());
    }

    // After every valid frame, recognised or not, the emission string is rebuilt from the
    // outgoing slot.
    void emissionStringRebuiltAfterEveryValidFrame_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("converter frame") << kConverter;
        QTest::newRow("HPU status frame") << kHpuStatus;
        QTest::newRow("unrecognised frame") << hexBytes("12 11 48 02 00 6D");
    }
    void emissionStringRebuiltAfterEveryValidFrame() {
        QFETCH(QByteArray, frame);
        Line line;
        line.state.StatutRS485 = StatutRS485::NextHeader;
        HpuCommands::ecritureEEPROM_HPU(line.state, 30, 800);
        line.state.TrameBufferEmissionSize = 0;
        line.port.feed(frame);
        line.run(1);
        QCOMPARE(line.state.StatutRS485, StatutRS485::NextHeader);
        QCOMPARE(line.state.TrameBufferEmissionSize, qint64(9));
        QCOMPARE(hexString(line.state.strbufferEmission), QStringLiteral("12 11 45 05 1E 03 20 00 AE"));
        QVERIFY(line.state.emissionRequest); // whether it is sent is the emission tick's business
    }

    // Every entry keeps the raw-stream text to its first 1512 characters, newest first.
    void traceKeepsItsFirst1512Characters() {
        Line line;
        line.machine.setRawStreamShown(true);
        for (int i = 0; i < 100; ++i) {
            line.port.feed(hexBytes("AA BB CC DD EE"));
            line.run(1);
            line.port.feed(hexBytes("00 12 10 07 FF FF FF FF A9 04 D2"));
            line.run(1);
            QVERIFY(line.trace.text().size() <= RawStreamTrace::kMaxChars);
        }
        QCOMPARE(line.trace.text().size(), RawStreamTrace::kMaxChars);
        QVERIFY(line.trace.text().startsWith(QStringLiteral("erreur CRC : 1234au lieu de 1230\n")));
    }
};

QTEST_GUILESS_MAIN(TestReceiveStateMachine)
#include "tst_receivestatemachine.moc"

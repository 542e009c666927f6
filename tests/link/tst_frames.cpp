#include "Hex.h"
#include "core/MonitorState.h"
#include "link/Frame.h"
#include "link/HpuCommands.h"

#include <QTest>

#include <functional>

namespace {

ByteArray41 bufferOf(const QByteArray& bytes) {
    ByteArray41 buffer{};
    for (int i = 0; i < bytes.size() && i < kFrameBufferSize; ++i)
        buffer[i] = quint8(bytes[i]);
    return buffer;
}

QByteArray entries(const ByteArray41& buffer, int count) {
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), count);
}

using Builder = std::function<void(MonitorState&)>;

} // namespace

Q_DECLARE_METATYPE(Builder)

class TestFrames : public QObject {
    Q_OBJECT
private slots:
    void checksumIsTheByteSumModulo65535_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("sum");
        QTest::newRow("EEPROM read request") << hexBytes("12 11 4C 02") << qint64(0x71);
        QTest::newRow("pump command") << hexBytes("12 11 48 02") << qint64(0x6D);
        QTest::newRow("HPU status frame") << hexBytes("00 12 10 07 01 F4 FF 00 00") << qint64(0x021D);
        QTest::newRow("bytes are unsigned") << hexBytes("FF FF 80") << qint64(255 + 255 + 128);
        // 257 x 0xFF = 65535: zero modulo 65535, but 65535 modulo 65536.
        QTest::newRow("sum of exactly 65535") << QByteArray(257, char(0xFF)) << qint64(0);
        // 258 x 0xFF = 65790: 255 modulo 65535, 254 modulo 65536.
        QTest::newRow("sum past 65535") << QByteArray(258, char(0xFF)) << qint64(255);
        QTest::newRow("empty") << QByteArray() << qint64(0);
    }
    void checksumIsTheByteSumModulo65535() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, sum);
        QCOMPARE(Frame::checksum(bytes), sum);
    }

    void commandFramesByteForByte_data() {
        QTest::addColumn<Builder>("build");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("pump") << Builder(HpuCommands::consignePOMPE_HPU) << hexBytes("12 11 48 02 00 6D");
        QTest::newRow("release") << Builder(HpuCommands::consigneRELEASE_HPU)
                                 << hexBytes("12 11 4A 02 00 6F");
        QTest::newRow("EEPROM read") << Builder(HpuCommands::lectureEEPROM_HPU)
                                     << hexBytes("12 11 4C 02 00 71");
        QTest::newRow("EEPROM write 30 = 800")
            << Builder([](MonitorState& s) { HpuCommands::ecritureEEPROM_HPU(s, 30, 800); })
            << hexBytes("12 11 45 05 1E 03 20 00 AE");
        QTest::newRow("EEPROM write value 65535 gives FF FF")
            << Builder([](MonitorState& s) { HpuCommands::ecritureEEPROM_HPU(s, 45, 65535); })
            << hexBytes("12 11 45 05 2D FF FF 02 98");
        QTest::newRow("EEPROM write negative value sends its low 16 bits")
            << Builder([](MonitorState& s) { HpuCommands::ecritureEEPROM_HPU(s, 29, -2); })
            << hexBytes("12 11 45 05 1D FF FE 02 87");
        QTest::newRow("EEPROM write value 0")
            << Builder([](MonitorState& s) { HpuCommands::ecritureEEPROM_HPU(s, 29, 0); })
            << hexBytes("12 11 45 05 1D 00 00 00 8A");
    }
    void commandFramesByteForByte() {
        QFETCH(Builder, build);
        QFETCH(QByteArray, frame);
        MonitorState state;
        state.TrameBufferEmission.fill(0xAA); // a longer frame built before
        build(state);
        QVERIFY(state.emissionRequest);
        QCOMPARE(state.TrameBufferEmissionSize, qint64(frame.size()));
        QCOMPARE(hexString(entries(state.TrameBufferEmission, frame.size())), hexString(frame));
        QCOMPARE(quint8(state.TrameBufferEmission[frame.size()]), quint8(0xAA)); // later entries untouched
        QCOMPARE(hexString(Frame::emissionBytes(state.TrameBufferEmission)), hexString(frame));
        // A built command passes the receiver's own check.
        state.TrameBuffer = state.TrameBufferEmission;
        QVERIFY(checkCRCreception(state));
    }

    void receivedFrameCheck_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<qint64>("computed");
        QTest::newRow("HPU status frame")
            << hexBytes("00 12 10 07 01 F4 FF 00 00 02 1D") << true << qint64(0x21D);
        QTest::newRow("checksum bytes swapped")
            << hexBytes("00 12 10 07 01 F4 FF 00 00 1D 02") << false << qint64(0x21D);
        QTest::newRow("converter frame, bytes 10-11 count in the sum")
            << Frame::withChecksum(hexBytes("00 01 10 10 02 0D 30 D4 13 88 AB CD 01 2C 00 C8 00 00")) << true
            << qint64(0x043C);
        QTest::newRow("largest frame the buffer holds, L = 37")
            << Frame::withChecksum(hexBytes("00 12 4C 25") + QByteArray(35, char(0xFF))) << true
            << qint64(0x12 + 0x4C + 0x25 + 35 * 0xFF);
    }
    void receivedFrameCheck() {
        QFETCH(QByteArray, frame);
        QFETCH(bool, passes);
        QFETCH(qint64, computed);
        MonitorState state;
        state.TrameBuffer = bufferOf(frame);
        QCOMPARE(checkCRCreception(state), passes);
        QCOMPARE(state.CRC_temp, computed);
    }

    // A length byte announcing more than the 41 entries can hold never passes, and the
    // check reads nothing past entry 40 (the sanitizer build would report it).
    void overlongAnnouncementNeverPasses_data() {
        QTest::addColumn<int>("lengthByte");
        QTest::newRow("L = 38, total 42") << 38;
        QTest::newRow("L = 96, total 100") << 96;
        QTest::newRow("L = 255") << 255;
    }
    void overlongAnnouncementNeverPasses() {
        QFETCH(int, lengthByte);
        MonitorState state;
        state.TrameBuffer.fill(0);
        state.TrameBuffer[3] = quint8(lengthByte);
        // Entries that would hold a checksum equal to the sum of everything else.
        state.TrameBuffer[39] = 0;
        state.TrameBuffer[40] = quint8(lengthByte);
        QVERIFY(!checkCRCreception(state));
        QCOMPARE(Frame::receivedChecksum(state.TrameBuffer), qint64(-1));
    }

    void eepromAnswerCopiedAsLongAsAnnounced_data() {
        QTest::addColumn<QByteArray>("answer");
        QByteArray full = hexBytes("00 12 4C 21");
        for (int i = 0; i < 31; ++i) // 17 parameters and two system values
            full.append(char(i + 1));
        QTest::newRow("byte 3 = 0x21, 37 bytes") << Frame::withChecksum(full);
        QTest::newRow("byte 3 = 0x05, 9 bytes") << Frame::withChecksum(hexBytes("00 12 4C 05 11 22 33"));
    }
    void eepromAnswerCopiedAsLongAsAnnounced() {
        QFETCH(QByteArray, answer);
        MonitorState state;
        state.TrameBufferEEPROM.fill(0x77);
        state.TrameBuffer = bufferOf(answer);
        HpuCommands::stockAnswerHPU(state);
        QCOMPARE(hexString(entries(state.TrameBufferEEPROM, answer.size())), hexString(answer));
        QCOMPARE(quint8(state.TrameBufferEEPROM[answer.size()]), quint8(0x77));
    }
};

QTEST_APPLESS_MAIN(TestFrames)
#include "tst_frames.moc"

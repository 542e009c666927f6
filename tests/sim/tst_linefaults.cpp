// Line faults: their rate, their shape on a frame, silences and replay from a seed.
#include "Hex.h"
#include "link/Frame.h"
#include "sim/LineFaults.h"

#include <QtMath>
#include <QTest>

using namespace Sim;

Q_DECLARE_METATYPE(QVector<Sim::FaultKind>)

namespace {

const QByteArray kFrame = Frame::withChecksum(hexBytes("00 12 10 07 00 FA FF 00 00"));

bool checksumOk(const QByteArray& frame) {
    const int size = frame.size();
    return Frame::checksum(frame.left(size - 2)) ==
           ((quint8(frame[size - 2]) << 8) | quint8(frame[size - 1]));
}

LineFaultSettings faults(double rate, QVector<FaultKind> kinds, quint32 seed = 1) {
    LineFaultSettings settings;
    settings.rate = rate;
    settings.kinds = std::move(kinds);
    settings.seed = seed;
    return settings;
}

} // namespace

class TestLineFaults : public QObject {
    Q_OBJECT
private slots:
    void faultsComeAtTheSetRate_data();
    void faultsComeAtTheSetRate();
    void eachFaultShapesTheFrame_data();
    void eachFaultShapesTheFrame();
    void silenceIsPerDeviceAndLasts();
    void aSeedReplaysTheSameFaults();
};

void TestLineFaults::faultsComeAtTheSetRate_data() {
    QTest::addColumn<double>("rate");
    QTest::addColumn<QVector<FaultKind>>("kinds");
    QTest::newRow("clean line") << 0.0 << QVector<FaultKind>{FaultKind::Junk, FaultKind::BadChecksum};
    QTest::newRow("junk on one frame in ten") << 0.1 << QVector<FaultKind>{FaultKind::Junk};
    QTest::newRow("stray bytes on one frame in four") << 0.25 << QVector<FaultKind>{FaultKind::StrayByte};
    QTest::newRow("bad checksums on one frame in twenty")
        << 0.05 << QVector<FaultKind>{FaultKind::BadChecksum};
    QTest::newRow("all kinds on one frame in five")
        << 0.2
        << QVector<FaultKind>{FaultKind::Junk, FaultKind::StrayByte, FaultKind::BadChecksum,
                              FaultKind::Silence};
    QTest::newRow("every frame") << 1.0 << QVector<FaultKind>{FaultKind::StrayByte, FaultKind::BadChecksum};
}

void TestLineFaults::faultsComeAtTheSetRate() {
    QFETCH(double, rate);
    QFETCH(QVector<FaultKind>, kinds);
    LineFaults line(faults(rate, kinds));
    int damaged = 0;
    for (int i = 0; i < 20000; ++i) { // the converter's frames, 200 ms apart
        const LineFaults::Outcome outcome = line.apply(Device::Converter, kFrame, qint64(i) * 200);
        if (outcome.fault)
            ++damaged;
        else if (!line.isSilent(Device::Converter, qint64(i) * 200))
            QCOMPARE(outcome.bytes, kFrame);
    }
    const int drawn = line.framesDrawn();
    const double p = rate / kinds.size();
    for (FaultKind kind : kinds) {
        const double expected = drawn * p;
        const double tolerance = 4.0 * qSqrt(drawn * p * (1.0 - p)) + 1.0;
        QVERIFY2(qAbs(line.count(kind) - expected) <= tolerance,
                 qPrintable(QStringLiteral("%1 faults of kind %2, %3 expected")
                                .arg(line.count(kind))
                                .arg(int(kind))
                                .arg(expected)));
    }
    QCOMPARE(damaged, [&] {
        int sum = 0;
        for (FaultKind kind : kinds)
            sum += line.count(kind);
        return sum;
    }());
}

void TestLineFaults::eachFaultShapesTheFrame_data() {
    QTest::addColumn<FaultKind>("kind");
    QTest::newRow("junk") << FaultKind::Junk;
    QTest::newRow("stray byte") << FaultKind::StrayByte;
    QTest::newRow("bad checksum") << FaultKind::BadChecksum;
}

void TestLineFaults::eachFaultShapesTheFrame() {
    QFETCH(FaultKind, kind);
    LineFaults line(faults(1.0, {kind}));
    QSet<quint8> leadingBytes;
    for (int i = 0; i < 300; ++i) {
        const LineFaults::Outcome outcome = line.apply(Device::Hpu, kFrame, i * 500);
        QCOMPARE(outcome.fault, std::optional<FaultKind>(kind));
        const QByteArray& bytes = outcome.bytes;
        switch (kind) {
        case FaultKind::Junk:
            // One to six bytes of noise, never 00 (which could pass for a header's start), then the frame.
            QVERIFY(bytes.size() > kFrame.size() && bytes.size() <= kFrame.size() + 6);
            QVERIFY(bytes.endsWith(kFrame));
            QVERIFY(!bytes.left(bytes.size() - kFrame.size()).contains('\0'));
            break;
        case FaultKind::StrayByte:
            QCOMPARE(bytes.size(), kFrame.size() + 1);
            QVERIFY(bytes.endsWith(kFrame));
            leadingBytes.insert(quint8(bytes[0]));
            break;
        case FaultKind::BadChecksum:
            QCOMPARE(bytes.size(), kFrame.size());
            QCOMPARE(bytes.left(kFrame.size() - 1), kFrame.left(kFrame.size() - 1));
            QVERIFY(!checksumOk(bytes));
            break;
        case FaultKind::Silence:
            break;
        }
    }
    if (kind == FaultKind::StrayByte)
        QCOMPARE(leadingBytes, (QSet<quint8>{0x00, 0xFF, 0xFE}));
}

void TestLineFaults::silenceIsPerDeviceAndLasts() {
    LineFaultSettings settings = faults(1.0, {FaultKind::Silence});
    settings.silenceMs = 5000;
    LineFaults line(settings);
    QVERIFY(line.apply(Device::Converter, kFrame, 1000).bytes.isEmpty());
    QCOMPARE(line.framesDrawn(), 1);
    // The converter's frames until 6000 are lost without drawing again.
    QVERIFY(line.isSilent(Device::Converter, 5999));
    const LineFaults::Outcome during = line.apply(Device::Converter, kFrame, 5999);
    QVERIFY(during.bytes.isEmpty());
    QVERIFY(!during.fault);
    QCOMPARE(line.framesDrawn(), 1);
    // The HPU is not silenced by the converter's silence: it draws (and here falls silent too).
    QVERIFY(!line.isSilent(Device::Hpu, 2000));
    QCOMPARE(line.apply(Device::Hpu, kFrame, 2000).fault, std::optional<FaultKind>(FaultKind::Silence));
    QCOMPARE(line.framesDrawn(), 2);
    QVERIFY(!line.isSilent(Device::Converter, 6000));
    QVERIFY(line.isSilent(Device::Hpu, 6000));
}

void TestLineFaults::aSeedReplaysTheSameFaults() {
    const QVector<FaultKind> all{FaultKind::Junk, FaultKind::StrayByte, FaultKind::BadChecksum,
                                 FaultKind::Silence};
    LineFaults first(faults(0.3, all, 11)), second(faults(0.3, all, 11)), other(faults(0.3, all, 12));
    QByteArray a, b, c;
    for (int i = 0; i < 2000; ++i) {
        const Device device = i % 3 == 0 ? Device::Hpu : Device::Converter;
        a += first.apply(device, kFrame, i * 100).bytes + '|';
        b += second.apply(device, kFrame, i * 100).bytes + '|';
        c += other.apply(device, kFrame, i * 100).bytes + '|';
    }
    QCOMPARE(a, b);
    QVERIFY(a != c);
}

QTEST_GUILESS_MAIN(TestLineFaults)
#include "tst_linefaults.moc"

// A million bytes of line noise and damaged frames through the whole monitor: whatever
// arrives, the receive state machine stays in its states, never writes past its 41-entry
// buffer, keeps the trace to 1512 characters, and the tool sends nothing it was not asked
// to send.
#include "Hex.h"
#include "TestPlatform.h"
#include "monitor/Monitor.h"
#include "link/Frame.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr qint64 kTotalBytes = 1000000;
constexpr quint32 kSeed = 0x5EED485;

// Byte streams as a noisy RS485 line delivers them.
class LineNoise {
public:
    explicit LineNoise(quint32 seed)
        : random_(seed) {}

    QByteArray next() {
        switch (random_.bounded(10)) {
        case 0:
        case 1:
            return converterFrame();
        case 2:
        case 3:
            return hpuStatusFrame();
        case 4:
            return random_.bounded(2) ? eepromReadAnswer() : writeAcknowledgement();
        case 5:
            return flipped(anyValidFrame());
        case 6:
            return anyValidFrame().left(random_.bounded(1, 20));
        case 7:
            return strayBytes() + anyValidFrame();
        case 8:
            return overlongAnnouncement();
        default:
            return garbage(random_.bounded(1, 60));
        }
    }
    int chunkSize() { return random_.bounded(1, 65); }
    bool coin() { return random_.bounded(2) == 1; }

private:
    QByteArray garbage(int count) {
        QByteArray bytes(count, Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random_.bounded(256));
        return bytes;
    }
    QByteArray converterFrame() { return Frame::withChecksum(hexBytes("00 01 10 10") + garbage(14)); }
    QByteArray hpuStatusFrame() { return Frame::withChecksum(hexBytes("00 12 10 07") + garbage(5)); }
    // Mostly the whole answer, which alone counts; otherwise any announced length, including
    // short ones and lengths the buffer cannot hold.
    QByteArray eepromReadAnswer() {
        const int length = random_.bounded(8) != 0   ? 0x21
                           : random_.bounded(8) == 0 ? random_.bounded(2, 256)
                                                     : random_.bounded(2, 38);
        QByteArray frame = hexBytes("00 12 4C");
        frame.append(char(length));
        return Frame::withChecksum(frame + garbage(qMin(length, 60) - 2));
    }
    QByteArray writeAcknowledgement() { return Frame::withChecksum(hexBytes("00 12 42 03") + garbage(1)); }
    QByteArray anyValidFrame() {
        switch (random_.bounded(4)) {
        case 0:
            return converterFrame();
        case 1:
            return hpuStatusFrame();
        case 2:
            return eepromReadAnswer();
        default:
            return writeAcknowledgement();
        }
    }
    QByteArray flipped(QByteArray frame) {
        const int flips = random_.bounded(1, 4);
        for (int i = 0; i < flips; ++i) {
            const int at = random_.bounded(int(frame.size()));
            frame[at] = char(frame[at] ^ (1 << random_.bounded(8)));
        }
        return frame;
    }
    QByteArray strayBytes() {
        static const char kStray[] = {0x00, char(0xFF), char(0xFE)};
        QByteArray bytes;
        const int count = random_.bounded(1, 4);
        for (int i = 0; i < count; ++i)
            bytes.append(kStray[random_.bounded(3)]);
        return bytes;
    }
    QByteArray overlongAnnouncement() {
        QByteArray frame = random_.bounded(2) ? hexBytes("00 12 4C") : hexBytes("00 12 42");
        frame.append(char(random_.bounded(38, 256)));
        return frame + garbage(random_.bounded(0, 80));
    }

    QRandomGenerator random_;
};

} // namespace

class TestReceiveRobustness : public QObject {
    Q_OBJECT
private slots:
    void millionBytesOfNoiseAndDamagedFrames() {
        TestPlatform doubles;
        doubles.devices.setNames({QStringLiteral("ttyUSB0")});
        Monitor monitor(doubles.platform());
        monitor.setLogChecked(false);
        doubles.timeline.advance(500);
        monitor.ConnectButton_Action();
        QVERIFY(monitor.isConnected());

        const MonitorState& state = monitor.state();
        QString violation;
        qint64 calls = 0;
        qint64 converterFrames = 0;
        qint64 eepromAnswers = 0;
        qint64 lastConverterStamp = state.timeLastDataCV;
        QSignalSpy hpuFrames(&monitor, &Monitor::gaugeRepaintRequested);

        // Runs after the monitor's own handler of every data-received event.
        connect(&doubles.port, &SerialPort::dataReceived, this, [&] {
            ++calls;
            if (!violation.isEmpty())
                return;
            // States 3 and 5 are passed within a call; a call ends in 0, 1 or 2.
            const StatutRS485 s = state.StatutRS485;
            if (s != StatutRS485::Search && s != StatutRS485::NextHeader && s != StatutRS485::Body)
                violation = QStringLiteral("state %1").arg(qint64(s));
            else if (s == StatutRS485::Body &&
                     (state.TrameBufferSize > kFrameBufferSize || state.TrameBufferSize < 4))
                violation = QStringLiteral("reading a frame of %1 bytes").arg(state.TrameBufferSize);
            else if (monitor.trace().text().size() > 1512)
                violation = QStringLiteral("trace of %1 characters").arg(monitor.trace().text().size());
            else if (!doubles.port.writes.isEmpty())
                violation =
                    QStringLiteral("wrote %1 without a command").arg(hexString(doubles.port.writes.first()));
            if (state.timeLastDataCV != lastConverterStamp) {
                lastConverterStamp = state.timeLastDataCV;
                ++converterFrames;
            }
            if (state.reponseHPU) {
                ++eepromAnswers;
                monitor.eepromRequests().clearAnswers(); // as the EEPROM window does when idle
            }
        });

        LineNoise noise(kSeed);
        QByteArray pending;
        qint64 fed = 0;
        while (fed < kTotalBytes) {
            while (pending.size() < 64)
                pending += noise.next();
            const QByteArray chunk = pending.left(noise.chunkSize());
            pending.remove(0, chunk.size());
            fed += chunk.size();
            if (noise.coin())
                monitor.setRawStreamPageSelected(noise.coin());

            // Decoded as it arrives, until the machine waits for more bytes of a header or a
            // frame; each chunk a few milliseconds after the last.
            doubles.port.feed(chunk);
            QVERIFY2(violation.isEmpty(), qPrintable(violation));
            QVERIFY2(doubles.port.bytesAvailable() <= 4 ||
                         (state.StatutRS485 == StatutRS485::Body && doubles.port.bytesAvailable() < state.TrameBufferSize - 4),
                     "bytes left that the machine could have taken");
            doubles.timeline.advance(10);
        }

        QVERIFY(doubles.port.writes.isEmpty());
        QVERIFY(!state.emissionRequest);
        // The noise let a fair share of every kind of frame through.
        QVERIFY2(converterFrames > 5000, qPrintable(QString::number(converterFrames)));
        QVERIFY2(hpuFrames.size() > 5000, qPrintable(QString::number(hpuFrames.size())));
        QVERIFY2(eepromAnswers > 1000, qPrintable(QString::number(eepromAnswers)));
        qInfo("%lld bytes in %lld data-received events: %lld converter, %lld HPU status, %lld EEPROM answers", fed,
              calls, converterFrames, qint64(hpuFrames.size()), eepromAnswers);
    }
};

QTEST_GUILESS_MAIN(TestReceiveRobustness)
#include "tst_receiverobustness.moc"

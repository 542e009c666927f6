// Writes the fuzzer's seed corpus: the byte streams of the simulated installation (clean and
// noisy lines, both converter protocols, EEPROM answers to the tool's requests), and a few
// hand-made frames for what the installation never sends (over-long announcements), with the
// commands, waits, page changes and serial errors around them that lead the fuzzer into every
// state of the link. Usage: make_seed_corpus <folder>
#include "ManualTimeline.h"
#include "ReceiveFuzzInput.h"
#include "link/Frame.h"
#include "link/HpuCommands.h"
#include "sim/SimulatedInstallation.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

QByteArray hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

QByteArray converterFrame(int rpm = 1520) {
    QByteArray f = hex("00 01 10 10 12 F4 0A AB 01 40 01 5E");
    f.append(char((rpm >> 8) & 0xFF));
    f.append(char(rpm & 0xFF));
    f.append(hex("00 00 00 00"));
    return Frame::withChecksum(f);
}
QByteArray hpuStatus() {
    return Frame::withChecksum(hex("00 12 10 07 01 F4 FF 00 00"));
}
QByteArray eepromAnswer() {
    QByteArray f = hex("00 12 4C 21");
    for (int i = 0; i < 31; ++i)
        f.append(char(i * 7));
    return Frame::withChecksum(f);
}
QByteArray writeAck() {
    return Frame::withChecksum(hex("00 12 42 03 05"));
}

using ReceiveFuzz::InputBuilder;

// What the simulated installation puts on the line in ms of its time; requests (command
// frames the tool would send) reach its HPU at the given times.
QByteArray simulatorStream(Sim::SimulationSettings settings, int ms,
                           const QVector<QPair<int, QByteArray>>& requests = {}) {
    ManualTimeline timeline;
    Sim::SimulatedInstallation installation(timeline, timeline, settings);
    QByteArray line;
    QObject::connect(&installation, &Sim::SimulatedInstallation::bytesSent,
                     [&line](const QByteArray& bytes) { line += bytes; });
    installation.start();
    int at = 0;
    for (const auto& request : requests) {
        timeline.advance(request.first - at);
        at = request.first;
        installation.receive(request.second);
    }
    timeline.advance(ms - at);
    return line;
}

QByteArray command(void (*build)(MonitorState&)) {
    MonitorState state;
    build(state);
    return Frame::emissionBytes(state.TrameBufferEmission);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));

    const QByteArray cv = converterFrame();
    const QByteArray hpu = hpuStatus();
    QVector<QByteArray> seeds;

    // The simulated installation: a clean line, a noisy one, protocol V1, EEPROM answers.
    Sim::SimulationSettings clean;
    seeds << InputBuilder().line(simulatorStream(clean, 1500), 40).bytes();
    Sim::SimulationSettings noisy;
    noisy.faults.rate = 0.5;
    noisy.faults.silenceMs = 300;
    seeds << InputBuilder(0x01).line(simulatorStream(noisy, 3000), 17).bytes();
    Sim::SimulationSettings v1;
    v1.protocol = Sim::ProtocolVersion::V1;
    seeds << InputBuilder().command(0).line(simulatorStream(v1, 1000), 64).wait(2).bytes();
    const QByteArray eepromRead = command(HpuCommands::lectureEEPROM_HPU);
    seeds << InputBuilder()
                 .command(2)
                 .line(simulatorStream(clean, 1200, {{180, eepromRead}}), 23)
                 .wait(2)
                 .bytes();
    MonitorState writing;
    HpuCommands::ecritureEEPROM_HPU(writing, 5, 1234);
    seeds << InputBuilder()
                 .command(3)
                 .line(
                     simulatorStream(clean, 1000, {{180, Frame::emissionBytes(writing.TrameBufferEmission)}}),
                     31)
                 .bytes();

    // Steady broadcast, whole frames and byte by byte.
    seeds << InputBuilder().line(cv + hpu + cv + hpu).bytes();
    seeds << InputBuilder(0x01).line(cv + hpu + cv, 1).bytes();
    // A pump command sent in the gap after a converter frame; a release on the raw-stream page.
    seeds << InputBuilder().command(0).line(cv).wait(2).line(hpu + cv).wait(2).bytes();
    seeds << InputBuilder(0x01).command(1).line(cv + hpu, 7).wait(3).bytes();
    // EEPROM read with its answer, EEPROM write with its acknowledgement.
    seeds << InputBuilder().command(2).line(cv).wait(2).line(eepromAnswer() + cv, 13).wait(2).bytes();
    seeds << InputBuilder().command(3).line(cv).wait(2).line(writeAck() + hpu + cv).wait(2).bytes();
    // Garbage before a header, stray bytes between frames, a damaged checksum.
    seeds << InputBuilder().line(hex("AA BB CC") + cv + hex("00") + hpu + hex("FF") + cv).bytes();
    QByteArray damaged = cv;
    damaged[10] = char(damaged[10] ^ 0x10);
    seeds << InputBuilder(0x01).line(cv + damaged + hpu + cv).bytes();
    // An over-long announcement after synchronisation, and an EEPROM answer announcing more
    // than the frame buffer holds.
    seeds << InputBuilder().line(cv + hex("00 12 4C 61 01 02 03 04 05 06") + cv + hpu).bytes();
    seeds << InputBuilder().line(cv + Frame::withChecksum(hex("00 12 4C 30") + QByteArray(46, 'x'))).bytes();
    // The port vanishing mid-frame, then a reconnection; a silent converter (stale data).
    seeds << InputBuilder()
                 .command(0)
                 .line(cv + cv.left(9))
                 .serialError(true)
                 .line(cv.mid(9) + cv + hpu)
                 .wait(2)
                 .bytes();
    seeds << InputBuilder().line(cv + hpu).wait(16).wait(16).wait(16).line(cv).bytes();
    // Odd emission delays typed by the user.
    seeds << InputBuilder(0x02 | 0x10).line(cv).wait(1).delayText(4).command(0).line(cv).wait(2).bytes();
    seeds << InputBuilder(0x04 | 0x20).line(cv).delayText(6).line(cv).wait(16).bytes();
    // Alarms: voltage and speed over their thresholds, page flips between frames.
    seeds << InputBuilder()
                 .line(converterFrame(4000))
                 .flipRawStreamPage()
                 .line(converterFrame(0))
                 .wait(5)
                 .bytes();

    int written = 0;
    for (const QByteArray& seed : seeds) {
        const QString violation = ReceiveFuzz::run(seed);
        if (!violation.isEmpty()) {
            std::fprintf(stderr, "seed %d breaks an invariant: %s\n", written, qPrintable(violation));
            return 1;
        }
        const QString name =
            QString::fromLatin1(QCryptographicHash::hash(seed, QCryptographicHash::Sha1).toHex().left(16));
        QFile file(folder.filePath(QStringLiteral("seed-") + name));
        if (!file.open(QIODevice::WriteOnly) || file.write(seed) != seed.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        ++written;
    }
    std::printf("%d seeds in %s\n", written, qPrintable(folder.path()));
    return 0;
}

// Receive-path throughput: valid converter and HPU status frames fed through the scripted
// serial port, first into the receive state machine alone, then into the whole monitor
// (decoding, label texts, alarm evaluation), one call per reception tick. Prints frames per
// second; at 9600 bit/s the line itself carries at most about 48 converter frames per second.
#include "FakeSerialPort.h"
#include "ManualTimeline.h"
#include "TestPlatform.h"
#include "monitor/Monitor.h"
#include "link/Frame.h"
#include "link/ReceiveStateMachine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

namespace {

constexpr int kFrames = 400000;
constexpr int kFramesPerBurst = 32; // bytes buffered between two reception ticks

QByteArray converterFrame(QRandomGenerator& random) {
    QByteArray frame = QByteArray::fromHex("00011010");
    for (int i = 0; i < 14; ++i)
        frame.append(char(random.bounded(256)));
    return Frame::withChecksum(frame);
}

QByteArray hpuStatusFrame(QRandomGenerator& random) {
    QByteArray frame = QByteArray::fromHex("00121007");
    for (int i = 0; i < 5; ++i)
        frame.append(char(random.bounded(256)));
    return Frame::withChecksum(frame);
}

struct CountingDispatcher : FrameDispatcher {
    void converterDataFrame() override { ++converter; }
    void hpuStatusFrame() override { ++hpu; }
    void eepromReadAnswer() override {}
    long converter = 0;
    long hpu = 0;
};

// The whole stream, cut into bursts of whole frames.
QVector<QByteArray> makeBursts() {
    QRandomGenerator random(2024);
    QVector<QByteArray> bursts;
    QByteArray burst;
    for (int i = 0; i < kFrames; ++i) {
        burst += (i % 2 == 0) ? converterFrame(random) : hpuStatusFrame(random);
        if ((i + 1) % kFramesPerBurst == 0) {
            bursts.append(burst);
            burst.clear();
        }
    }
    if (!burst.isEmpty())
        bursts.append(burst);
    return bursts;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QVector<QByteArray> bursts = makeBursts();

    for (bool rawStreamPage : {false, true}) {
        ManualTimeline timeline;
        FakeSerialPort port;
        MonitorState state;
        RawStreamTrace trace;
        CountingDispatcher dispatcher;
        ReceiveStateMachine machine(state, port, trace, timeline, dispatcher);
        machine.setRawStreamShown(rawStreamPage);

        QElapsedTimer clock;
        clock.start();
        for (const QByteArray& burst : bursts) {
            port.feed(burst, false);
            while (port.bytesAvailable() > 0)
                machine.Update_RS485_State_Machine();
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        const long frames = dispatcher.converter + dispatcher.hpu;
        if (frames != kFrames) {
            std::fprintf(stderr, "lost frames: %ld of %d dispatched\n", frames, kFrames);
            return 1;
        }
        std::printf("receive state machine, %s: %ld frames in %.3f s = %.0f frames/s\n",
                    rawStreamPage ? "raw-stream page traced" : "values page", frames, seconds,
                    frames / seconds);
    }

    // The frames' values are random, so nearly every converter frame raises or clears an alarm,
    // and each change is a line appended to the event journal: measured with the journal and
    // without it (the monitor's reports switched off), to tell the decoding from the file writes.
    for (const bool journal : {true, false}) {
        TestPlatform doubles;
        doubles.devices.setNames({QStringLiteral("ttyUSB0")});
        Monitor monitor(doubles.platform());
        monitor.setReportsEnabled(journal);
        doubles.timeline.advance(500);
        monitor.ConnectButton_Action();
        long hpu = 0;
        QObject::connect(&monitor, &Monitor::gaugeRepaintRequested, [&hpu] { ++hpu; });

        QElapsedTimer clock;
        clock.start();
        for (const QByteArray& burst : bursts) {
            doubles.port.feed(burst); // decoded as it arrives, every frame of the burst
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        if (hpu != kFrames / 2) {
            std::fprintf(stderr, "lost HPU frames: %ld of %d\n", hpu, kFrames / 2);
            return 1;
        }
        std::printf("whole monitor, values page, %s: %d frames in %.3f s = %.0f frames/s\n",
                    journal ? "each alarm change journalled" : "journal off", kFrames, seconds, kFrames / seconds);
    }
    return 0;
}

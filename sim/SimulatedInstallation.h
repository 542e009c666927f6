#pragma once

#include "link/HpuCommands.h"
#include "sim/CommandFramer.h"
#include "sim/LineFaults.h"
#include "sim/PacedTransmitter.h"
#include "sim/SimulatedConverter.h"
#include "sim/SimulatedHpu.h"
#include "sim/SimulationSettings.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <optional>

class ProgramClock;
class Timer;
class TimerFactory;

namespace Sim {

// A command the tool sent, with when it came relative to the converter's broadcast: the tool
// must speak only in the quiet gap that follows a converter frame.
struct ReceivedCommand {
    QByteArray bytes;
    qint64 atMs = 0;     // program time its first byte arrived
    qint64 delayMs = -1; // after the last byte of the last converter frame; -1 before any
    bool checksumOk = false;

    // Which command it is; none for a frame that is not one of the tool's commands.
    std::optional<HpuCommands::Command> command() const;
    // The command's name ("pump", "release", "EEPROM read", "EEPROM write") or "unknown".
    QString name() const;
};

// The installation's two talking devices on one simulated RS485 line, seen from the bus:
// the converter broadcasts its data frame every converterPeriodMs, the HPU its status frame
// every hpuPeriodMs (offset from the converter's); the HPU hears the tool's commands, acts on those with a
// good checksum and answers EEPROM requests a couple of milliseconds after the request, in the quiet gap.
// Every frame sent may suffer a line fault at the set rate. Bytes leave paced as at
// 9600 bit/s. Time comes from the program clock and the timer factory, so a test drives it
// with a manual timeline.
class SimulatedInstallation : public QObject {
    Q_OBJECT
public:
    static constexpr int kTurnaroundMs = 2; // the HPU's pause between a request and its answer
    // The HPU's broadcasts start this long after the converter's. With the default periods its
    // frames then fall 40 or 140 ms after a converter frame: clear of the converter's own
    // frames and of the tool's commands 150 ms after them, and of the HPU's answers.
    static constexpr int kHpuPhaseMs = 40;

    SimulatedInstallation(TimerFactory& timers, const ProgramClock& clock, SimulationSettings settings = {},
                          QObject* parent = nullptr);

    // The converter's first frame leaves at once, the HPU's first one period and its phase later.
    void start();
    // Both devices fall silent; bytes not yet sent are dropped. The devices keep their state.
    void stop();
    bool isRunning() const { return running_; }

    // Bytes the tool wrote onto the line.
    void receive(const QByteArray& bytes);

    const QVector<ReceivedCommand>& commands() const { return commands_; }
    const SimulationSettings& settings() const { return settings_; }
    SimulatedConverter& converter() { return converter_; }
    SimulatedHpu& hpu() { return hpu_; }
    const LineFaults& faults() const { return faults_; }
    // End of the last byte of the last converter frame sent, or -1.
    qint64 lastConverterFrameEndMs() const { return lastConverterFrameEndMs_; }

signals:
    // Bytes on the line towards the tool, paced.
    void bytesSent(const QByteArray& bytes);
    void commandReceived(const Sim::ReceivedCommand& command);
    void faultInjected(Sim::Device device, Sim::FaultKind kind);

private:
    enum Block { ConverterFrame, HpuFrame };

    void sendConverterFrame();
    void sendHpuFrame();
    void put(Device device, const QByteArray& frame, qint64 notBeforeMs = 0);

    SimulationSettings settings_;
    const ProgramClock& clock_;
    SimulatedConverter converter_;
    SimulatedHpu hpu_;
    LineFaults faults_;
    CommandFramer framer_;
    PacedTransmitter transmitter_;
    Timer* converterTimer_;
    Timer* hpuTimer_;
    Timer* hpuPhaseTimer_;
    bool running_ = false;
    qint64 lastConverterFrameEndMs_ = -1;
    QVector<ReceivedCommand> commands_;
};

} // namespace Sim

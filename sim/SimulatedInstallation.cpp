#include "sim/SimulatedInstallation.h"

#include "core/ProgramClock.h"
#include "core/Timer.h"
#include "link/Frame.h"

namespace Sim {

std::optional<HpuCommands::Command> ReceivedCommand::command() const {
    if (bytes.size() < 4)
        return std::nullopt;
    return HpuCommands::commandOf(quint8(bytes[0]), quint8(bytes[1]), quint8(bytes[2]));
}

QString ReceivedCommand::name() const {
    const std::optional<HpuCommands::Command> known = command();
    return known ? HpuCommands::name(*known) : QStringLiteral("unknown");
}

SimulatedInstallation::SimulatedInstallation(TimerFactory& timers, const ProgramClock& clock,
                                             SimulationSettings settings, QObject* parent)
    : QObject(parent)
    , settings_(std::move(settings))
    , clock_(clock)
    , converter_(settings_.protocol)
    , hpu_(settings_.boardNumber, settings_.softwareVersion)
    , faults_(settings_.faults)
    , transmitter_(timers, clock, settings_.delivery)
    , converterTimer_(
          timers.create(QStringLiteral("SimConverterBroadcast"), settings_.converterPeriodMs, this))
    , hpuTimer_(timers.create(QStringLiteral("SimHpuBroadcast"), settings_.hpuPeriodMs, this))
    , hpuPhaseTimer_(timers.create(QStringLiteral("SimHpuPhase"), kHpuPhaseMs, this)) {
    connect(converterTimer_, &Timer::timeout, this, &SimulatedInstallation::sendConverterFrame);
    connect(hpuTimer_, &Timer::timeout, this, &SimulatedInstallation::sendHpuFrame);
    connect(hpuPhaseTimer_, &Timer::timeout, this, [this] { hpuTimer_->setMode(Timer::Repeating); });
    connect(&transmitter_, &PacedTransmitter::bytesSent, this, &SimulatedInstallation::bytesSent);
    connect(&transmitter_, &PacedTransmitter::blockSent, this, [this](int tag) {
        if (tag == ConverterFrame)
            lastConverterFrameEndMs_ = clock_.elapsedMs();
    });
}

void SimulatedInstallation::start() {
    if (running_)
        return;
    running_ = true;
    converterTimer_->setMode(Timer::Repeating);
    hpuPhaseTimer_->setMode(Timer::Single);
    sendConverterFrame();
}

void SimulatedInstallation::stop() {
    running_ = false;
    converterTimer_->setMode(Timer::Off);
    hpuTimer_->setMode(Timer::Off);
    hpuPhaseTimer_->setMode(Timer::Off);
    transmitter_.clear();
}

void SimulatedInstallation::sendConverterFrame() {
    put(Device::Converter, converter_.dataFrame(clock_.elapsedMs()));
}

void SimulatedInstallation::sendHpuFrame() {
    put(Device::Hpu, hpu_.statusFrame(clock_.elapsedMs()));
}

void SimulatedInstallation::put(Device device, const QByteArray& frame, qint64 notBeforeMs) {
    const LineFaults::Outcome outcome = faults_.apply(device, frame, clock_.elapsedMs());
    if (outcome.fault)
        emit faultInjected(device, *outcome.fault);
    const bool isConverterFrame = device == Device::Converter;
    transmitter_.send(outcome.bytes, isConverterFrame ? ConverterFrame : HpuFrame, notBeforeMs);
}

void SimulatedInstallation::receive(const QByteArray& bytes) {
    const qint64 now = clock_.elapsedMs();
    const QVector<HeardFrame> frames = framer_.feed(bytes, now);
    for (const HeardFrame& frame : frames) {
        ReceivedCommand command;
        command.bytes = frame.bytes;
        command.atMs = frame.startedAtMs;
        command.delayMs = lastConverterFrameEndMs_ < 0 ? -1 : frame.startedAtMs - lastConverterFrameEndMs_;
        command.checksumOk = frame.checksumOk;
        commands_.append(command);
        emit commandReceived(command);

        // A command with a bad checksum is ignored; a silent HPU hears nothing either.
        if (!frame.checksumOk || !running_ || faults_.isSilent(Device::Hpu, now))
            continue;
        const QByteArray answer = hpu_.react(frame.bytes, now);
        if (!answer.isEmpty())
            put(Device::Hpu, answer, now + kTurnaroundMs);
    }
}

} // namespace Sim

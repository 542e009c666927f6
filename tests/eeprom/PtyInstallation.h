#pragma once

#include "PseudoTerminal.h"
#include "core/ProgramClock.h"
#include "core/Timer.h"
#include "sim/SimulatedInstallation.h"

#include <QFile>
#include <QTimer>

#include <functional>
#include <memory>

// The simulated installation served from inside the test on a pseudo-terminal, under a
// stable name (a symbolic link) that a pulled adapter comes back under. Its converter and
// HPU keep broadcasting whether or not the adapter is plugged. The hooks make the HPU
// misbehave the way a field unit does.
class PtyInstallation {
public:
    explicit PtyInstallation(const QString& linkPath)
        : link_(linkPath) {
        Sim::SimulationSettings settings;
        settings.delivery = Sim::ByteDelivery::WholeFrame; // each frame reaches rewrite whole
        installation_ = std::make_unique<Sim::SimulatedInstallation>(timers_, clock_, settings);
        QObject::connect(installation_.get(), &Sim::SimulatedInstallation::bytesSent,
                         [this](const QByteArray& frame) { toTool(frame); });
        QObject::connect(installation_.get(), &Sim::SimulatedInstallation::commandReceived,
                         [this](const Sim::ReceivedCommand& command) { heard(command); });
        installation_->start();
    }
    ~PtyInstallation() { pull(); }
    PtyInstallation(const PtyInstallation&) = delete;
    PtyInstallation& operator=(const PtyInstallation&) = delete;

    // A fresh pseudo-terminal appears under the stable name.
    bool plug() {
        terminal_ = std::make_unique<PseudoTerminal>();
        QString error;
        if (!terminal_->open(&error))
            return false;
        QObject::connect(terminal_.get(), &PseudoTerminal::bytesReceived,
                         [this](const QByteArray& bytes) { fromTool(bytes); });
        return QFile::link(terminal_->devicePath(), link_);
    }
    // The adapter is gone: its pseudo-terminal closes and the name disappears.
    void pull() {
        terminal_.reset();
        QFile::remove(link_);
    }

    Sim::SimulatedEeprom& eeprom() { return installation_->hpu().eeprom(); }
    const QVector<Sim::ReceivedCommand>& commands() const { return installation_->commands(); }

    // What reaches the tool in place of each frame the devices send (empty: nothing).
    std::function<QByteArray(const QByteArray&)> rewrite;
    // The HPU does not hear EEPROM write requests: no acknowledgement, nothing stored.
    bool deafToWrites = false;
    // The HPU acknowledges a write but keeps the value it held.
    bool keepsOldValues = false;
    // Every byte the tool wrote, in order.
    QByteArray bytesFromTool;

private:
    void toTool(const QByteArray& frame) {
        const QByteArray bytes = rewrite ? rewrite(frame) : frame;
        if (terminal_ && !bytes.isEmpty())
            terminal_->write(bytes);
    }
    void fromTool(const QByteArray& bytes) {
        bytesFromTool += bytes;
        // The tool writes one command at a time, in the quiet gap after a converter frame.
        if (deafToWrites && bytes.contains(QByteArray::fromHex("121145")))
            return;
        installation_->receive(bytes);
    }
    void heard(const Sim::ReceivedCommand& command) {
        if (!keepsOldValues || !command.checksumOk || command.name() != QLatin1String("EEPROM write"))
            return;
        const int address = quint8(command.bytes[4]);
        const int old = eeprom().value(address);
        // The HPU stores the value as it answers; the old one is put back right after.
        QTimer::singleShot(0, [this, address, old] { eeprom().store(address, quint16(old)); });
    }

    QString link_;
    SystemProgramClock clock_;
    QtTimerFactory timers_;
    std::unique_ptr<Sim::SimulatedInstallation> installation_;
    std::unique_ptr<PseudoTerminal> terminal_;
};

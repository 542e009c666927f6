#pragma once

#include "core/SerialPort.h"
#include "sim/SimulatedInstallation.h"

class ProgramClock;
class TimerFactory;

// A serial port wired straight to a simulated installation, inside the process: opening it
// starts the installation talking, the bytes it sends are buffered here as an adapter would
// buffer them, and what the tool writes reaches the HPU. Closing it stops the devices; they
// keep their state (pressure, EEPROM) for the next opening, as real ones would.
class SimulatedSerialPort : public SerialPort {
    Q_OBJECT
public:
    SimulatedSerialPort(TimerFactory& timers, const ProgramClock& clock,
                        Sim::SimulationSettings settings = {}, QObject* parent = nullptr);

    bool open(const SerialDevice& device) override;
    void close() override;
    bool isOpen() const override { return open_; }
    qint64 bytesAvailable() const override { return incoming_.size(); }
    QByteArray peekAll() const override { return incoming_; }
    QByteArray read(qint64 n) override;
    qint64 write(const QByteArray& bytes) override;

    Sim::SimulatedInstallation& installation() { return installation_; }

private:
    void arrive(const QByteArray& bytes);

    Sim::SimulatedInstallation installation_;
    QByteArray incoming_;
    bool open_ = false;
};

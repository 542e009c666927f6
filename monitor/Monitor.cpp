#include "monitor/Monitor.h"

#include "alarms/AlarmSettingsFile.h"
#include "alarms/ConverterAlarms.h"
#include "core/Captions.h"
#include "core/SettingsFiles.h"
#include "datalog/CsvLog.h"
#include "datalog/DayFileWriter.h"
#include "datalog/EventJournal.h"
#include "datalog/LogFolderSetting.h"
#include "display/ConverterDecoder.h"
#include "display/HpuDecoder.h"
#include "display/StaleData.h"
#include "monitor/ReadingsRecord.h"
#include "monitor/ShownControls.h"
#include "link/Frame.h"
#include "link/HpuCommands.h"
#include "link/LinkPacing.h"
#include "link/PortSelection.h"
#include "link/ReceiveStateMachine.h"

namespace {
const QString kAlarmsFileName = QStringLiteral("Alarms_Settings.txt");

Platform withPort(const Platform& p, SerialPort& port) {
    return Platform{p.clock,    p.wallClock, p.timers,    port,         p.devices,
                    p.notifier, p.sound,     p.resources, p.userFolders};
}
} // namespace

// The subsystems the handlers delegate to, and the hand-over of each kind of valid frame from the receive
// state machine to its consumer.
struct Monitor::Parts : FrameDispatcher {
    explicit Parts(Monitor& m)
        : monitor(m)
        , machine(m.state_, m.platform_.port, m.trace_, m.platform_.clock, *this)
        , reception(m.platform_.port, machine, m.platform_.clock)
        , emission(m.state_, m.platform_.port, m.trace_, *m.timerEmission_, m.platform_.clock)
        , ports(m.platform_.devices)
        , connection(m.platform_.devices, m.platform_.port, m.platform_.notifier, m.state_)
        , alarms(m.state_, *m.timerAlarm_, *m.timerAlarmSound_, m.platform_.sound)
        , logFolder(m.platform_.resources, m.platform_.userFolders)
        , csvLog(m.state_, m.platform_.wallClock, m.platform_.notifier, logFolder)
        , eepromRequests(m.state_) {}

    void converterDataFrame() override {
        monitor.refreshDataConverter();
        // The tool speaks in the quiet gap that follows each converter frame, timed from the
        // moment its last byte arrived.
        emission.arm(monitor.controls_.Textfield_timer_emission, reception.lastByteArrivalUs());
    }
    void hpuStatusFrame() override { monitor.refreshDataHPU(); }
    void eepromReadAnswer() override { monitor.stockAnswerHPU(); }
    void eepromReadAnswerIncomplete() override { eepromRequests.incompleteAnswerReceived(); }
    void eepromWriteAcknowledged() override {
        monitor.record(MonitorEvent::Kind::EepromWriteAcknowledged, monitor.lastEepromWrite_);
    }

    Monitor& monitor;
    ReceiveStateMachine machine;
    ReceptionPacer reception;
    EmissionPacer emission;
    PortSelection ports;
    Connection connection;
    BusHealth health;
    ConverterAlarms alarms;
    LogFolderSetting logFolder;
    CsvLog csvLog;
    EepromRequests eepromRequests;
    DayFileWriter journalFile;
    bool journalFailing = false; // told once, until the journal takes a line again
    ClockStepWatch clockSteps;
};

Monitor::Monitor(const Platform& platform, QObject* parent)
    : QObject(parent)
    , observedPort_(new ObservedSerialPort(platform.port, this))
    , platform_(withPort(platform, *observedPort_))
    , portListUpdater_(platform.timers.create(QStringLiteral("PortListUpdater"), 500, this))
    , timerLog_(platform.timers.create(QStringLiteral("TimerLog"), 500, this))
    , timerEmission_(platform.timers.create(QStringLiteral("TimerEmissionRS485"), 10, this))
    , timerResetError_(platform.timers.create(QStringLiteral("TimerResetError"), 5000, this))
    , timerAlarm_(platform.timers.create(QStringLiteral("TimerAlarm"), 200, this))
    , timerAlarmSound_(platform.timers.create(QStringLiteral("TimerAlarmSound"), 15000, this))
    , timerReconnect_(platform.timers.create(QStringLiteral("TimerReconnect"), 1000, this))
    , parts_(std::make_unique<Parts>(*this)) {
    // Design modes: the emission and alarm-sound timers wait until switched on.
    portListUpdater_->setMode(Timer::Repeating);
    timerLog_->setMode(Timer::Repeating);
    timerResetError_->setMode(Timer::Repeating);
    timerAlarm_->setMode(Timer::Single);

    connect(portListUpdater_, &Timer::timeout, this, &Monitor::PortListUpdater_Action);
    connect(timerLog_, &Timer::timeout, this, &Monitor::TimerLog_Action);
    connect(timerEmission_, &Timer::timeout, this, &Monitor::TimerEmissionRS485_Action);
    connect(timerResetError_, &Timer::timeout, this, &Monitor::TimerResetError_Action);
    connect(timerAlarm_, &Timer::timeout, this, &Monitor::TimerAlarm_Action);
    connect(timerAlarmSound_, &Timer::timeout, this, &Monitor::TimerAlarmSound_Action);
    connect(timerReconnect_, &Timer::timeout, this, &Monitor::TimerReconnect_Action);
    connect(this, &Monitor::eventOccurred, this, &Monitor::writeJournal);
    parts_->csvLog.setEventObserver([this](MonitorEvent::Kind kind, const QString& detail) { record(kind, detail); });

    connect(observedPort_, &ObservedSerialPort::chunkReceived, this, &Monitor::busChunkReceived);
    connect(observedPort_, &ObservedSerialPort::chunkWritten, this, &Monitor::busChunkWritten);
    connect(&platform_.port, &SerialPort::dataReceived, this, &Monitor::SerialConnection1_DataReceived);
    connect(&platform_.port, &SerialPort::errorOccurred, this,
            [this](const QString& description) { SerialConnection1_Error(description); });
    showConnection();
}

Monitor::~Monitor() = default;

// --- Receive link ---

void Monitor::Update_RS485_State_Machine() {
    parts_->machine.Update_RS485_State_Machine();
}

bool Monitor::checkCRCreception() {
    return ::checkCRCreception(state_);
}

// --- Decoders and stale data ---

void Monitor::refreshDataConverter() {
    const ConverterReading reading = decodeConverterFrame(state_.TrameBuffer);
    keepConverterReading(state_, reading);
    const AlarmStates before = parts_->alarms.states();
    const AlarmStates& after = parts_->alarms.evaluate(reading);
    showReadings();
    recordAlarmChanges(before, after, reading);
}

void Monitor::refreshDataHPU() {
    keepHpuReading(state_, decodeHpuStatusFrame(state_.TrameBuffer));
    showReadings();
    emit gaugeRepaintRequested();
}

void Monitor::stopDataConverter() {
    forgetConverterValues(state_);
    showReadings();
}

void Monitor::stopDataHPU() {
    forgetHpuValues(state_);
    showReadings();
}

void Monitor::showReadings() {
    ::showReadings(controls_, state_, parts_->alarms.states());
}

// --- HPU commands and EEPROM transactions ---

void Monitor::consignePOMPE_HPU() {
    HpuCommands::consignePOMPE_HPU(state_);
    parts_->eepromRequests.otherCommandQueued();
    parts_->emission.commandQueued();
}

void Monitor::consigneRELEASE_HPU() {
    HpuCommands::consigneRELEASE_HPU(state_);
    parts_->eepromRequests.otherCommandQueued();
    parts_->emission.commandQueued();
}

void Monitor::lectureEEPROM_HPU(EepromRequests::Owner owner) {
    parts_->eepromRequests.read(owner);
    parts_->emission.commandQueued();
}

void Monitor::ecritureEEPROM_HPU(qint64 address, qint64 value, EepromRequests::Owner owner) {
    parts_->eepromRequests.write(owner, address, value);
    parts_->emission.commandQueued();
}

EepromRequests& Monitor::eepromRequests() {
    return parts_->eepromRequests;
}

const EepromRequests& Monitor::eepromRequests() const {
    return parts_->eepromRequests;
}

bool Monitor::isLineUp() const {
    return connectionState() == Connection::State::Connected && platform_.port.isOpen();
}

void Monitor::withdrawEepromRequestsIfClosed() {
    if (platform_.port.isOpen())
        return;
    parts_->eepromRequests.withdrawAll();
    parts_->emission.commandWithdrawn();
}

bool Monitor::withdrawEepromRequest(EepromRequests::Owner owner) {
    const bool withdrawn = parts_->eepromRequests.withdraw(owner);
    parts_->emission.commandWithdrawn();
    return withdrawn;
}

void Monitor::stockAnswerHPU() {
    HpuCommands::stockAnswerHPU(state_);
}

// --- Settings files ---

void Monitor::readAlarmsFile() {
    // A missing file or an unknown resource folder leaves the values as they are.
    ::readAlarmsFile(state_, SettingsFiles(platform_.resources).readPath(kAlarmsFileName));
}

bool Monitor::writeAlarmsFile() {
    QString error;
    if (::writeAlarmsFile(state_, SettingsFiles(platform_.resources).writePath(kAlarmsFileName), &error))
        return true;
    platform_.notifier.showMessage(error); // the values stay in memory
    return false;
}

void Monitor::readLogPathFile() {
    parts_->logFolder.readLogPathFile(state_.LogFolder);
}

AlarmSettingValues Monitor::readStoredAlarmSettings() {
    readAlarmsFile();
    return alarmSettings();
}

AlarmSettingValues Monitor::alarmSettings() const {
    return {state_.ValeurAlarmeUin,     state_.ValeurAlarmeRPM,  state_.ValeurAlarmeTemp,
            state_.ValeurHautePression, state_.ValeurModeCalage, state_.VolumeAlarmeHydro};
}

void Monitor::readAlarmsFile(const QString& path) {
    ::readAlarmsFile(state_, path);
}

void Monitor::keepAlarmSettings(const AlarmSettingValues& values) {
    applyAlarmSettings(values);
    writeAlarmsFile(); // a failure is told to the user; the values stay in memory
}

void Monitor::applyAlarmSettings(const AlarmSettingValues& values) {
    state_.ValeurAlarmeUin = values.ValeurAlarmeUin;
    state_.ValeurAlarmeRPM = values.ValeurAlarmeRPM;
    state_.ValeurAlarmeTemp = values.ValeurAlarmeTemp;
    state_.ValeurHautePression = values.ValeurHautePression;
    state_.ValeurModeCalage = values.ValeurModeCalage;
    state_.VolumeAlarmeHydro = values.VolumeAlarmeHydro;
}

QString Monitor::readLogFolder() {
    readLogPathFile();
    return state_.LogFolder;
}

bool Monitor::saveLogFolder(const QString& nativePath) {
    return parts_->logFolder.writeLogPathFile(nativePath);
}

// --- Event handlers ---

void Monitor::open() {
    readAlarmsFile();
    emit changed();
}

void Monitor::close() {
    // No reopening after the window has closed the port; nothing is journalled of it.
    parts_->connection.close();
    platform_.port.close(); // open or not
    timerReconnect_->setMode(Timer::Off);
    withdrawEepromRequestsIfClosed();
    showConnection();
}

void Monitor::receive(const std::function<void()>& step) {
    const qint64 waiting = platform_.port.bytesAvailable();
    step();
    // Only a step that consumed bytes can have changed a value, a label or the trace.
    if (platform_.port.bytesAvailable() < waiting)
        emit changed();
}

void Monitor::SerialConnection1_DataReceived() {
    parts_->connection.heard(platform_.clock.elapsedMs());
    // Every whole frame is decoded as its last byte arrives.
    receive([this] { parts_->reception.SerialConnection1_DataReceived(); });
}

void Monitor::SerialConnection1_Error(const QString& description) {
    // The port is closed; a connection still wanted is reopened once a second.
    followConnection(parts_->connection.portError(description));
    emit changed();
}

void Monitor::TimerEmissionRS485_Action() {
    // Most ticks find nothing to send; only a command written changes the trace and the line.
    const bool pending = state_.emissionRequest;
    parts_->emission.TimerEmissionRS485_Action();
    if (pending && !state_.emissionRequest) {
        parts_->eepromRequests.commandWritten();
        ++parts_->machine.counters().commandsSent;
        const QString command = HpuCommands::describe(state_.TrameBufferEmission);
        if (state_.TrameBufferEmission[2] == Frame::kEepromWrite)
            lastEepromWrite_ = command;
        record(MonitorEvent::Kind::CommandWritten, command);
    }
    if (pending) {
        updateConnectionLine();
        emit changed();
    }
}

void Monitor::PortListUpdater_Action() {
    if (!parts_->ports.PortListUpdater_Action())
        return;
    showConnection();
    emit changed();
}

void Monitor::SerialPortsPopupMenu_SelectionChanged(int index) {
    parts_->ports.SerialPortsPopupMenu_SelectionChanged(index);
    showConnection();
    emit changed();
}

void Monitor::ConnectButton_Action() {
    if (isConnected())
        disconnect();
    else
        openSelected(true);
}

QStringList Monitor::devices() const {
    return parts_->ports.presentNames();
}

bool Monitor::connectTo(const QString& device) {
    if (isConnected())
        return parts_->connection.deviceName() == device;
    // The list as it shows the devices now, with this one chosen, as a technician would.
    PortListUpdater_Action();
    const int row = int(parts_->ports.rows().indexOf(device));
    if (row < 0)
        return false;
    SerialPortsPopupMenu_SelectionChanged(row);
    return openSelected(false);
}

void Monitor::disconnect() {
    followConnection(parts_->connection.close());
    emit changed();
}

Connection::State Monitor::connectionState() const {
    return parts_->connection.state();
}

bool Monitor::openSelected(bool tellRefusal) {
    const Connection::Outcome outcome = parts_->connection.open(selectedDeviceName());
    if (outcome == Connection::Outcome::OpenRefused && tellRefusal)
        platform_.notifier.showMessage(Connection::kOpenFailedMessage); // still disconnected
    followConnection(outcome);
    emit changed();
    return outcome == Connection::Outcome::Opened;
}

const BusHealth& Monitor::busHealth() const {
    return parts_->health;
}

void Monitor::TimerReconnect_Action() {
    if (reportsEnabled_) {
        parts_->health.update(parts_->machine.counters(), platform_.clock.elapsedMs(), state_.timeLastDataCV,
                              state_.timeLastDataHPU);
        controls_.busHealthText = parts_->health.text();
    }
    followConnection(parts_->connection.tick(platform_.clock.elapsedMs()));
    emit changed();
}

void Monitor::setSilentAdapterReopened(qint64 ms) {
    parts_->connection.setSilenceLimit(ms);
}

void Monitor::followConnection(Connection::Outcome outcome) {
    const Connection& connection = parts_->connection;
    showConnection(); // the listeners of the events below see the controls as they are now
    switch (outcome) {
    case Connection::Outcome::Opened:
        hasConnected_ = true;
        portListUpdater_->setMode(Timer::Off); // the list stays as it was while connected
        parts_->health.reset(parts_->machine.counters(), platform_.clock.elapsedMs());
        controls_.busHealthText = parts_->health.text();
        timerReconnect_->setMode(Timer::Repeating);
        // The log tick restarts with the watch, so that the watch comes with every second log
        // tick, in one wake-up of the program instead of two.
        timerLog_->restart();
        // Nothing is known of either device until it speaks on this connection: what was
        // shown before belongs to another time, perhaps another installation.
        stopDataConverter();
        stopDataHPU();
        record(MonitorEvent::Kind::Connected, connection.deviceName());
        break;
    case Connection::Outcome::Closed:
    case Connection::Outcome::GaveUp:
        timerReconnect_->setMode(Timer::Off);
        portListUpdater_->setMode(Timer::Repeating);
        record(MonitorEvent::Kind::Disconnected, connection.deviceName());
        break;
    case Connection::Outcome::Lost:
        record(MonitorEvent::Kind::ConnectionLost, connection.lossReason());
        break;
    case Connection::Outcome::Reconnected:
        record(MonitorEvent::Kind::Reconnected, connection.deviceName());
        break;
    case Connection::Outcome::Unchanged:
    case Connection::Outcome::OpenRefused:
        break;
    }
    withdrawEepromRequestsIfClosed();
    updateConnectionLine();
}

void Monitor::showConnection() {
    const bool connected = isConnected();
    ControlsState& c = controls_;
    c.SerialPortsPopupMenu_rows = parts_->ports.rows();
    c.SerialPortsPopupMenu_selected = parts_->ports.selected();
    c.SerialPortsPopupMenu_enabled = !connected;
    c.ConnectButton.enabled = parts_->ports.selected() >= 0;
    c.ConnectButton.caption = App::text(connected ? App::Caption::kUnconnectCaption : App::Caption::kConnectCaption);
    c.CheckBoxLog_enabled = connected; // its tick is left as the user set it
    c.HPUMenu_enabled = connected || !hasConnected_;
}

void Monitor::updateConnectionLine() {
    QString line;
    if (isReconnecting()) {
        line = tr("Connection lost – reconnecting to %1…").arg(parts_->connection.deviceName());
        const QString pending = HpuCommands::pendingText(state_);
        if (!pending.isEmpty())
            line += QStringLiteral(" \u2013 ") + pending;
    }
    controls_.connectionLine = line;
}

QString Monitor::selectedDeviceName() const {
    return parts_->ports.selectedName();
}

void Monitor::record(MonitorEvent::Kind kind, const QString& detail) {
    emit eventOccurred(MonitorEvent{platform_.wallClock.now(), kind, detail});
}

void Monitor::writeJournal(const MonitorEvent& event) {
    // The journal and the CSV log fail apart: a CSV log switched off by its failure leaves the
    // journal on (to say so, among others), and a failing journal never stops the CSV log.
    const bool logOn = controls_.CheckBoxLog_checked || parts_->csvLog.isOffAfterFailure();
    if (!logOn || !reportsEnabled_)
        return;
    parts_->logFolder.readLogPathFile(state_.LogFolder);
    if (state_.LogFolder.isEmpty())
        return; // no folder to log into, as for the CSV log
    const DayFileWriter::Result written =
        EventJournal::append(parts_->journalFile, state_.LogFolder, selectedDeviceName(), event);
    if (!written.written) {
        if (parts_->journalFailing)
            return;
        parts_->journalFailing = true;
        record(MonitorEvent::Kind::LogWriteFailed, written.path); // heard by the other listeners
        parts_->csvLog.tellJournalFailure();
        return;
    }
    parts_->journalFailing = false;
    if (!written.movedFrom.isEmpty()) {
        record(MonitorEvent::Kind::LogFileMoved, written.movedFrom + QStringLiteral(" -> ") + written.path);
        platform_.notifier.showMessage(DayFileWriter::movedMessage(written.movedFrom, written.path));
    }
}

void Monitor::recordAlarmChanges(const AlarmStates& before, const AlarmStates& after,
                                 const ConverterReading& reading) {
    // A value this frame did not give is never written as a measurement.
    const QString notKnown = QStringLiteral("not known");
    const auto recordChange = [this](bool wasHeld, bool held, const QString& detail) {
        if (held != wasHeld)
            record(held ? MonitorEvent::Kind::AlarmRaised : MonitorEvent::Kind::AlarmCleared, detail);
    };
    recordChange(before.inputVoltage, after.inputVoltage,
                 QStringLiteral("input voltage ") +
                     (reading.U_in ? QStringLiteral("%1 V").arg(*reading.U_in, 0, 'f', 1) : notKnown));
    const std::optional<qint64> speed = reading.speed();
    recordChange(before.speed, after.speed,
                 QStringLiteral("speed ") + (speed ? QStringLiteral("%1 rpm").arg(*speed) : notKnown));
    recordChange(before.temperature, after.temperature,
                 QStringLiteral("converter temperature ") +
                     (reading.TempCV ? QStringLiteral("%1 \u00b0C").arg(*reading.TempCV, 0, 'f', 1) : notKnown));
}

void Monitor::TimerResetError_Action() {
    parts_->connection.resetErrors();
}

void Monitor::TimerLog_Action() {
    // Nothing is logged or sampled while disconnected; a lost link still ticks, its values going stale.
    if (!isConnected())
        return;
    // Values of a device silent for more than 3 s are reset and hidden before anything is logged, so a logged
    // line never carries them.
    const qint64 now = platform_.clock.elapsedMs();
    if (const auto step = parts_->clockSteps.check(now, platform_.wallClock.now())) {
        lastClockStep_ = step;
        record(MonitorEvent::Kind::ClockStepped, step->describe());
    }
    const ValuesKnown knownBefore = valuesKnown();
    if (isStale(now, state_.timeLastDataCV))
        stopDataConverter();
    if (isStale(now, state_.timeLastDataHPU))
        stopDataHPU();
    const bool logFailed = parts_->csvLog.logTick(controls_.CheckBoxLog_checked, selectedDeviceName()) ==
                           CsvLog::TickOutcome::Failed;
    if (logFailed)
        controls_.CheckBoxLog_checked = false; // the user ticks it again once the folder is mended
    // Twice a second: the window is refreshed only when values were hidden or the log
    // failed, not woken to show what it already shows.
    if (valuesKnown() != knownBefore || logFailed)
        emit changed();

    // The tick comes every 500 ms: one sample per second of the wall clock.
    const QDateTime wallNow = platform_.wallClock.now();
    const QDateTime second = wallNow.addMSecs(-wallNow.time().msec());
    if (second != lastSampledSecond_) {
        lastSampledSecond_ = second;
        emit secondSampled(sample(second));
    }
}

Monitor::ValuesKnown Monitor::valuesKnown() const {
    const ConverterReading converter = converterReading(state_);
    return {bool(converter.U_in), bool(converter.U_out), bool(converter.I_out), bool(converter.P_out),
            bool(converter.TempCV), bool(converter.speed()), hpuStatusKnown(state_)};
}

SecondSample Monitor::sample(const QDateTime& time) const {
    const ConverterReading converter = converterReading(state_);
    SecondSample s;
    s.time = time;
    s.inputVoltage = converter.U_in;
    s.outputVoltage = converter.U_out;
    s.outputCurrent = converter.I_out;
    s.outputPower = converter.P_out;
    if (converter.RPM1)
        s.speed = double(*converter.RPM1);
    s.temperature = converter.TempCV;
    s.hpuPresent = state_.presenceHPU;
    if (hpuStatusKnown(state_)) {
        s.pressure = state_.Pression;
        s.hpuMode = state_.ModeHPU.trimmed();
        s.pitch = state_.Pitch.trimmed();
    }
    // The conditions found by the last converter frame, not the red rows, which clear 200 ms
    // after each frame and so blink between ticks; a value not known holds no alarm.
    const AlarmStates& alarms = parts_->alarms.states();
    s.inputVoltageAlarm = alarms.inputVoltage && s.inputVoltage.has_value();
    s.speedAlarm = alarms.speed && s.speed.has_value();
    s.temperatureAlarm = alarms.temperature && s.temperature.has_value();
    return s;
}

void Monitor::TimerAlarm_Action() {
    parts_->alarms.TimerAlarm_Action();
    showReadings();
    emit changed();
}

void Monitor::TimerAlarmSound_Action() {
    parts_->alarms.TimerAlarmSound_Action();
}

void Monitor::PompeButton_Action() {
    consignePOMPE_HPU();
    updateConnectionLine(); // a lost link's line tells the command waits
    emit changed();
}

void Monitor::ReleaseButton_Action() {
    consigneRELEASE_HPU();
    updateConnectionLine(); // a lost link's line tells the command waits
    emit changed();
}

// --- Inputs from the window's controls ---

void Monitor::setRawStreamPageSelected(bool selected) {
    controls_.rawStreamPageSelected = selected;
    parts_->machine.setRawStreamShown(selected);
}

void Monitor::setEmissionDelayText(const QString& text) {
    controls_.Textfield_timer_emission = text;
}

void Monitor::setLogChecked(bool checked) {
    controls_.CheckBoxLog_checked = checked;
    parts_->csvLog.userChose();
}

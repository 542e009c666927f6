#pragma once

#include "alarms/AlarmSettingsStore.h"
#include "core/ControlsState.h"
#include "core/MonitorEvent.h"
#include "core/MonitorState.h"
#include "core/Platform.h"
#include "core/SecondSample.h"
#include "core/Timer.h"
#include "datalog/LogFolderStore.h"
#include "link/BusHealth.h"
#include "link/Connection.h"
#include "link/EepromRequests.h"
#include "link/LinkPacing.h"
#include "link/ObservedSerialPort.h"
#include "link/RawStreamTrace.h"
#include "monitor/ClockStepWatch.h"

#include <QObject>

struct AlarmStates;
struct ConverterReading;

#include <array>
#include <functional>
#include <memory>
#include <optional>

// The monitor: the one record of live state and the handlers that act on it, with the
// main window's timers and serial port. It is the GUI-free heart of WindowMain: the window
// presents controls() and forwards user actions to the handlers below.
//
// Every handler runs on the UI thread, one at a time, to completion; changed() is emitted
// after each handler that may have changed what the window shows.
//
// The settings windows see it only as the store of their settings.
class Monitor : public QObject, public AlarmSettingsStore, public LogFolderStore {
    Q_OBJECT
public:
    explicit Monitor(const Platform& platform, QObject* parent = nullptr);
    ~Monitor() override;

    // The record and what the window shows, read-only: every write goes through a method below.
    const MonitorState& state() const { return state_; }
    const ControlsState& controls() const { return controls_; }
    const RawStreamTrace& trace() const { return trace_; }
    // Frames, errors and bytes of the line since the last Connect, as of the last second.
    const BusHealth& busHealth() const;
    // The last step of the wall clock seen by the log tick while connected; empty until one.
    const std::optional<ClockStepWatch::Step>& lastClockStep() const { return lastClockStep_; }
    const Platform& platform() const { return platform_; }
    // The values known now, as one typed value: a value not known is empty.
    SecondSample sample(const QDateTime& time) const;

    // The main window's timers, by their names.
    Timer& PortListUpdater() { return *portListUpdater_; }
    Timer& TimerLog() { return *timerLog_; }
    Timer& TimerEmissionRS485() { return *timerEmission_; }
    Timer& TimerResetError() { return *timerResetError_; }
    Timer& TimerAlarm() { return *timerAlarm_; }
    Timer& TimerAlarmSound() { return *timerAlarmSound_; }
    // Once a second while connected: watches the device and reopens it after a loss.
    Timer& TimerReconnect() { return *timerReconnect_; }

    // The bus health refresh and the event journal; on unless switched off to measure their cost.
    void setReportsEnabled(bool enabled) { reportsEnabled_ = enabled; }

    // An event of a consumer above the monitor (the publisher), journalled as the monitor's own.
    void recordEvent(MonitorEvent::Kind kind, const QString& detail) { record(kind, detail); }

    // An adapter that stays open but sends no byte for ms after bytes were flowing is closed and
    // reopened (the unattended logger); 0, the window's default, leaves it open.
    void setSilentAdapterReopened(qint64 ms);

    // --- Connection ---
    // The serial devices present now, named as the device list shows them.
    QStringList devices() const;
    // Opens the named device as Connect does, the list showing it selected. False, with nothing
    // told to the user, when it is not listed or its port would not open; true when connected
    // to it already.
    bool connectTo(const QString& device);
    // As Disconnect: closes the port and ends any reopening.
    void disconnect();
    Connection::State connectionState() const;
    // Connected or reconnecting: the user (or a burst of errors) has not disconnected.
    bool isConnected() const { return connectionState() != Connection::State::Disconnected; }
    // The link was lost under a connected window and is being reopened.
    bool isReconnecting() const { return connectionState() == Connection::State::Reconnecting; }

    // --- Receive link ---
    // The bytes are decoded as they arrive (SerialConnection1_DataReceived); no tick waits.
    void Update_RS485_State_Machine();
    bool checkCRCreception();

    // --- Decoders and stale data ---
    void refreshDataConverter();
    void refreshDataHPU();
    void stopDataConverter();
    void stopDataHPU();

    // --- HPU commands and EEPROM transactions ---
    void consignePOMPE_HPU();
    void consigneRELEASE_HPU();
    // An EEPROM request is made on behalf of an owner, who may withdraw it while it waits
    // (eepromRequests()); a closed or lost line withdraws every one.
    void lectureEEPROM_HPU(EepromRequests::Owner owner = nullptr);
    void ecritureEEPROM_HPU(qint64 address, qint64 value, EepromRequests::Owner owner = nullptr);
    void stockAnswerHPU();
    EepromRequests& eepromRequests();
    // Withdraws the owner's EEPROM request from the outgoing slot; false when it held none.
    bool withdrawEepromRequest(EepromRequests::Owner owner);
    const EepromRequests& eepromRequests() const;
    // Connected, and the port open: a request made now can go out on this line.
    bool isLineUp() const;

    // --- Settings files ---
    void readAlarmsFile();
    // The thresholds from an alarm settings file named on the command line (the logger's).
    void readAlarmsFile(const QString& path);
    // The thresholds in memory now.
    AlarmSettingValues alarmSettings() const;
    // Thresholds as the alarm window stores an edit, in memory only (keepAlarmSettings also writes the file).
    void applyAlarmSettings(const AlarmSettingValues& values);
    // The gauge's angle as its last paint smoothed it, kept for the next paint.
    void keepGaugeAngle(double alpha) { state_.filtered_alpha = alpha; }
    // False (with a message to the user) when the file cannot be written; the values stay in memory.
    bool writeAlarmsFile();
    void readLogPathFile();
    // The alarm settings window's store.
    AlarmSettingValues readStoredAlarmSettings() override;
    void keepAlarmSettings(const AlarmSettingValues& values) override;
    // The preferences window's store.
    QString readLogFolder() override;
    QString logFolder() const override { return state_.LogFolder; }
    bool saveLogFolder(const QString& nativePath) override;
    Notifier& notifier() const override { return platform_.notifier; }

    // --- Event handlers ---
    void open();  // main window opening: reads the alarm settings
    void close(); // main window closing: closes the serial port
    void SerialConnection1_DataReceived();
    void SerialConnection1_Error(const QString& description = QString());
    void TimerEmissionRS485_Action();
    void PortListUpdater_Action();
    void SerialPortsPopupMenu_SelectionChanged(int index);
    void ConnectButton_Action();
    void TimerResetError_Action();
    void TimerLog_Action();
    void TimerAlarm_Action();
    void TimerAlarmSound_Action();
    void TimerReconnect_Action();
    void PompeButton_Action();
    void ReleaseButton_Action();

    // --- Inputs from the window's controls ---
    void setRawStreamPageSelected(bool selected);
    void setEmissionDelayText(const QString& text); // Textfield_timer_emission
    void setLogChecked(bool checked);               // CheckBoxLog
    bool isLogChecked() const { return controls_.CheckBoxLog_checked; }
    // The folder of the CSV log and the journal, where no settings file names it (the logger).
    void setLogFolder(const QString& folder) { state_.LogFolder = folder; }

signals:
    void changed();
    // Once per wall-clock second while connected, from the log tick, after stale values are
    // reset: the trend ring, the event journal and the publishers take this, not the record.
    void secondSampled(const SecondSample& sample);
    // Connections, losses, alarms, commands written, log failures: what the event journal
    // records, as they happen.
    void eventOccurred(const MonitorEvent& event);
    // CanvasProp must be repainted (with background erase) from Pression.
    void gaugeRepaintRequested();
    // What crossed SerialConnection1: each chunk of bytes as it arrived, each command as it
    // was written. A bus capture listens here; the link knows nothing of it.
    void busChunkReceived(const QByteArray& bytes);
    void busChunkWritten(const QByteArray& bytes);

private:
    ObservedSerialPort* observedPort_; // wraps the platform's port; every part uses it
    Platform platform_;
    MonitorState state_;
    ControlsState controls_;
    RawStreamTrace trace_;

    Timer* portListUpdater_;
    Timer* timerLog_;
    Timer* timerEmission_;
    Timer* timerResetError_;
    Timer* timerAlarm_;
    Timer* timerAlarmSound_;
    Timer* timerReconnect_;
    QDateTime lastSampledSecond_;
    QString lastEepromWrite_;                    // what an acknowledgement answers
    bool reportsEnabled_ = true;
    std::optional<ClockStepWatch::Step> lastClockStep_;
    bool hasConnected_ = false; // the HPU menu is usable before the first connection

    void record(MonitorEvent::Kind kind, const QString& detail);
    // While Log is ticked, each event goes to the day's journal beside the CSV log.
    void writeJournal(const MonitorEvent& event);
    QString selectedDeviceName() const;
    // Opens the device selected in the list; told to the user when it cannot be opened.
    bool openSelected(bool tellRefusal);
    // After anything that may change the connection: its timers, the journal and the controls.
    void followConnection(Connection::Outcome outcome);
    // The controls that follow the device list and the connection, from their state alone.
    void showConnection();
    // A request left in the slot while the port is closed would go out on whatever line
    // opens next, unseen: EEPROM requests are withdrawn as soon as the port is found closed.
    void withdrawEepromRequestsIfClosed();
    void updateConnectionLine();
    // Raised and cleared alarms, told with the frame's values.
    void recordAlarmChanges(const AlarmStates& before, const AlarmStates& after, const ConverterReading& reading);
    // The value and alarm part of the controls, recomputed after each reading, stale reset and
    // TimerAlarm.
    void showReadings();
    // Runs a step of the receive path, announcing a change when it took bytes from the port.
    void receive(const std::function<void()>& step);
    // Which converter values are known, and whether the HPU status is: what a stale reset
    // forgets, and the window hides.
    using ValuesKnown = std::array<bool, 7>;
    ValuesKnown valuesKnown() const;

    struct Parts;
    std::unique_ptr<Parts> parts_; // the subsystems the handlers delegate to
};

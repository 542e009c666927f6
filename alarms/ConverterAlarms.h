#pragma once

#include "core/ControlsState.h"
#include "core/MonitorState.h"
#include "core/Notifier.h"
#include "core/Readings.h"
#include "core/Timer.h"

// Colour of an alert rectangle's fill as 0xAARRGGBB: opaque red FB 01 06 while an alert
// holds, fully transparent black otherwise, dark red 80 00 02 at design time.
quint32 alertFillArgb(AlertFill fill);

// Where the alert rows stand between converter frames.
enum class AlertRows {
    AsDesigned, // before the first frame or TimerAlarm: the design-time fills
    Lit,        // since the last converter frame: the row of each alarm held is red
    Cleared     // TimerAlarm fired after the last frame: no row is red, whatever is held
};

// The three alarms as the last converter frame found them, and how their rows stand.
struct AlarmStates {
    bool inputVoltage = false;
    bool speed = false;
    bool temperature = false;
    AlertRows rows = AlertRows::AsDesigned;
};

// The three alerts of the values page, evaluated after each converter frame: speed, input
// voltage and converter temperature. Each lights its row while its condition holds;
// TimerAlarm clears all three rows 200 ms after the last frame that found any alert, so a row
// blinks when frames come slower than that. The input-voltage alert is also audible:
// TimerAlarmSound waits 15 s, then plays "alarm_hydro.wav" every 10 s until a frame with a
// normal input voltage arrives. The thresholds and the volume are read from the state record.
class ConverterAlarms {
public:
    static constexpr int kAlarmFillMs = 200;
    static constexpr int kSoundDelayMs = 15000;
    static constexpr int kSoundRepeatMs = 10000;
    static constexpr double kNoRotationVoltage = 10.0; // volts without reported rotation

    ConverterAlarms(const MonitorState& settings, Timer& timerAlarm, Timer& timerAlarmSound, SoundPlayer& sound);

    // Speed, input voltage, temperature, in this order, from the frame's reading. All
    // comparisons are strict: a value equal to its threshold does not alert. A value the
    // frame did not carry is not judged: its alarm is not held.
    const AlarmStates& evaluate(const ConverterReading& reading);
    // All three rows cleared, timer off; the alarms held stay held.
    void TimerAlarm_Action();
    // Repeating every 10000 ms from now on; plays at VolumeAlarmeHydro clamped to 0..100.
    void TimerAlarmSound_Action();

    const AlarmStates& states() const { return states_; }

private:
    void armTimerAlarm();

    const MonitorState& settings_;
    Timer& timerAlarm_;
    Timer& timerAlarmSound_;
    SoundPlayer& sound_;
    AlarmStates states_;
};

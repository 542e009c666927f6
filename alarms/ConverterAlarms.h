#pragma once

#include "core/ControlsState.h"
#include "core/MonitorState.h"
#include "core/Notifier.h"
#include "core/Timer.h"

// Colour of an alert rectangle's fill as 0xAARRGGBB: opaque red FB 01 06 while an alert
// holds, fully transparent black otherwise, dark red 80 00 02 at design time.
quint32 alertFillArgb(AlertFill fill);

// The three alerts of the values page, evaluated after each converter frame: speed, input
// voltage and converter temperature. Each paints its row red while its condition holds;
// TimerAlarm clears all three 200 ms after the last frame that found any alert, so a row
// blinks when frames come slower than that. The input-voltage alert is also audible:
// TimerAlarmSound waits 15 s, then plays "alarm_hydro.wav" every 10 s until a frame with a
// normal input voltage arrives.
class ConverterAlarms {
public:
    static constexpr int kAlarmFillMs = 200;
    static constexpr int kSoundDelayMs = 15000;
    static constexpr int kSoundRepeatMs = 10000;
    static constexpr double kNoRotationVoltage = 10.0; // volts without reported rotation

    ConverterAlarms(MonitorState& state, ControlsState& controls, Timer& timerAlarm, Timer& timerAlarmSound,
                    SoundPlayer& sound);

    // Speed, input voltage, temperature, in this order, from the freshly decoded values.
    // All comparisons are strict: a value equal to its threshold does not alert. A value the
    // frame did not carry (kNotKnown) is not judged: its row is not lit.
    void evaluate();
    // All three fills transparent, timer off.
    void TimerAlarm_Action();
    // Repeating every 10000 ms from now on; plays at VolumeAlarmeHydro clamped to 0..100.
    void TimerAlarmSound_Action();

private:
    void armTimerAlarm();

    MonitorState& state_;
    ControlsState& controls_;
    Timer& timerAlarm_;
    Timer& timerAlarmSound_;
    SoundPlayer& sound_;
};

#include "alarms/ConverterAlarms.h"

#include <algorithm>

quint32 alertFillArgb(AlertFill fill) {
    switch (fill) {
    case AlertFill::AlertRed:
        return 0xFFFB0106u;
    case AlertFill::DarkRed:
        return 0xFF800002u;
    case AlertFill::Transparent:
        break;
    }
    return 0x00000000u;
}

ConverterAlarms::ConverterAlarms(MonitorState& state, ControlsState& controls, Timer& timerAlarm,
                                 Timer& timerAlarmSound, SoundPlayer& sound)
    : state_(state)
    , controls_(controls)
    , timerAlarm_(timerAlarm)
    , timerAlarmSound_(timerAlarmSound)
    , sound_(sound) {}

void ConverterAlarms::evaluate() {
    // Each alert judges only values this frame carried: a value not known (kNotKnown) raises
    // nothing, whatever the threshold.
    // Speed: over-speed, or voltage on the generator while no rotation is reported.
    const double fastest = std::max(double(state_.RPM1), double(state_.RPM2));
    const bool overSpeed = fastest > double(state_.ValeurAlarmeRPM);
    const bool voltageWithoutRotation =
        fastest == 0.0 && isKnown(state_.U_in) && state_.U_in > kNoRotationVoltage;
    if (isKnown(fastest) && (overSpeed || voltageWithoutRotation)) {
        controls_.Rect_AlertRPM = AlertFill::AlertRed;
        armTimerAlarm();
    } else {
        controls_.Rect_AlertRPM = AlertFill::Transparent;
    }

    // Input voltage, with the sound. A running sound timer is left alone so that frames
    // during the alert do not push the first play back; a volume below 1 never starts it.
    if (isKnown(state_.U_in) && state_.U_in > state_.ValeurAlarmeUin) {
        controls_.Rect_AlertInputVoltage = AlertFill::AlertRed;
        armTimerAlarm();
        if (!timerAlarmSound_.isRunning() && state_.VolumeAlarmeHydro >= 1)
            timerAlarmSound_.setMode(Timer::Single);
    } else {
        controls_.Rect_AlertInputVoltage = AlertFill::Transparent;
        timerAlarmSound_.setMode(Timer::Off);
        timerAlarmSound_.setPeriod(kSoundDelayMs);
    }

    if (isKnown(state_.TempCV) && state_.TempCV > state_.ValeurAlarmeTemp) {
        controls_.Rect_AlertTemp = AlertFill::AlertRed;
        armTimerAlarm();
    } else {
        controls_.Rect_AlertTemp = AlertFill::Transparent;
    }
}

void ConverterAlarms::TimerAlarm_Action() {
    controls_.Rect_AlertRPM = AlertFill::Transparent;
    controls_.Rect_AlertInputVoltage = AlertFill::Transparent;
    controls_.Rect_AlertTemp = AlertFill::Transparent;
    timerAlarm_.setMode(Timer::Off);
}

void ConverterAlarms::TimerAlarmSound_Action() {
    // Period first: switching a fired single shot back on starts the countdown at once.
    timerAlarmSound_.setPeriod(kSoundRepeatMs);
    timerAlarmSound_.setMode(Timer::Repeating);
    // The volume may have been changed since the sound started; the player takes 0..100.
    const qint64 volume = std::clamp<qint64>(state_.VolumeAlarmeHydro, 0, 100);
    sound_.play(int(volume));
}

void ConverterAlarms::armTimerAlarm() {
    // Fires once, 200 ms after the last arming.
    if (timerAlarm_.period() != kAlarmFillMs)
        timerAlarm_.setPeriod(kAlarmFillMs);
    timerAlarm_.setMode(Timer::Single);
    timerAlarm_.restart();
}

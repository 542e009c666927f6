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

ConverterAlarms::ConverterAlarms(const MonitorState& settings, Timer& timerAlarm, Timer& timerAlarmSound,
                                 SoundPlayer& sound)
    : settings_(settings)
    , timerAlarm_(timerAlarm)
    , timerAlarmSound_(timerAlarmSound)
    , sound_(sound) {}

const AlarmStates& ConverterAlarms::evaluate(const ConverterReading& reading) {
    // Each alert judges only values this frame carried: a value not known raises nothing,
    // whatever the threshold.
    // Speed: over-speed, or voltage on the generator while no rotation is reported.
    const std::optional<qint64> fastest = reading.speed();
    states_.speed = fastest && (*fastest > settings_.ValeurAlarmeRPM ||
                                (*fastest == 0 && reading.U_in && *reading.U_in > kNoRotationVoltage));

    // Input voltage, with the sound. A running sound timer is left alone so that frames
    // during the alert do not push the first play back; a volume below 1 never starts it.
    states_.inputVoltage = reading.U_in && *reading.U_in > settings_.ValeurAlarmeUin;
    if (states_.inputVoltage) {
        if (!timerAlarmSound_.isRunning() && settings_.VolumeAlarmeHydro >= 1)
            timerAlarmSound_.setMode(Timer::Single);
    } else {
        timerAlarmSound_.setMode(Timer::Off);
        timerAlarmSound_.setPeriod(kSoundDelayMs);
    }

    states_.temperature = reading.TempCV && *reading.TempCV > settings_.ValeurAlarmeTemp;

    states_.rows = AlertRows::Lit;
    if (states_.speed || states_.inputVoltage || states_.temperature)
        armTimerAlarm();
    return states_;
}

void ConverterAlarms::TimerAlarm_Action() {
    states_.rows = AlertRows::Cleared;
    timerAlarm_.setMode(Timer::Off);
}

void ConverterAlarms::TimerAlarmSound_Action() {
    // Period first: switching a fired single shot back on starts the countdown at once.
    timerAlarmSound_.setPeriod(kSoundRepeatMs);
    timerAlarmSound_.setMode(Timer::Repeating);
    // The volume may have been changed since the sound started; the player takes 0..100.
    const qint64 volume = std::clamp<qint64>(settings_.VolumeAlarmeHydro, 0, 100);
    sound_.play(int(volume));
}

void ConverterAlarms::armTimerAlarm() {
    // Fires once, 200 ms after the last arming.
    if (timerAlarm_.period() != kAlarmFillMs)
        timerAlarm_.setPeriod(kAlarmFillMs);
    timerAlarm_.setMode(Timer::Single);
    timerAlarm_.restart();
}

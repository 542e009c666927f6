#pragma once

#include "core/Notifier.h"

#include <QtGlobal>

// The six alarm settings, as the settings window shows and edits them.
struct AlarmSettingValues {
    double ValeurAlarmeUin = 0.0;
    qint64 ValeurAlarmeRPM = 0;
    double ValeurAlarmeTemp = 0.0;
    double ValeurHautePression = 0.0;
    qint64 ValeurModeCalage = 0;
    qint64 VolumeAlarmeHydro = 0;
};

// Where the alarm settings window reads and keeps the settings, and what tells the user:
// all the window knows of the program that owns them.
class AlarmSettingsStore {
public:
    // Reads the settings file again and returns the values then in force (a missing or
    // unreadable file leaves those held in memory).
    virtual AlarmSettingValues readStoredAlarmSettings() = 0;
    // Puts the values in force and writes the file; a failure is told to the user and the
    // values stay in force in memory.
    virtual void keepAlarmSettings(const AlarmSettingValues& values) = 0;
    virtual Notifier& notifier() const = 0;

protected:
    ~AlarmSettingsStore() = default;
};

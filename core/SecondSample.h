#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

#include <optional>

// One second of the installation as the log tick sees it. Consumers that are not windows (the
// trend ring, the event journal, the MQTT publisher, the unattended logger) take this value
// instead of reaching into the state record, so each can be tested with a hand-made sample.
// A value that is not known (device silent, or not decoded from the last frame) is empty,
// never -1.
struct SecondSample {
    QDateTime time; // local wall-clock time of the tick

    // Power converter
    std::optional<double> inputVoltage;  // V   (U_in)
    std::optional<double> outputVoltage; // V   (U_out)
    std::optional<double> outputCurrent; // A   (I_out)
    std::optional<double> outputPower;   // W   (P_out)
    std::optional<double> speed;         // rpm (RPM1)
    std::optional<double> temperature;   // °C  (TempCV)

    // Hydraulic pitch unit; hpuPresent is false until its first frame of the connection.
    bool hpuPresent = false;
    std::optional<double> pressure; // bar (Pression)
    QString hpuMode;                // "Auto" / "Manuel"; empty when silent
    QString pitch;                  // pitch caption; empty when silent

    // Alerts holding at the tick (the red rows of the values page).
    bool speedAlarm = false;
    bool inputVoltageAlarm = false;
    bool temperatureAlarm = false;
};

Q_DECLARE_METATYPE(SecondSample)

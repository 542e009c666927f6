#pragma once

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <optional>

// What a device said, value by value, as the decoders give it. A value that is not known (the
// frame did not carry it, or the device has not been heard since Connect, or fell silent) is
// empty: it is never shown, logged as a measurement or judged by an alarm. The names are those
// of the state record, which keeps the same values with -1 for "not known".
struct ConverterReading {
    std::optional<double> U_in;   // V
    std::optional<double> U_out;  // V
    std::optional<double> I_out;  // A
    std::optional<double> P_out;  // W, U_out x I_out
    std::optional<double> TempCV; // degrees Celsius
    std::optional<qint64> RPM1;   // rpm
    std::optional<qint64> RPM2;   // rpm, 0 under protocol "V2"
    // "V1" or "V2" as the frame's output voltage tells; empty for a frame of neither version.
    QString ProtocoleVersion;

    // The faster of the speeds known; empty when neither is.
    std::optional<qint64> speed() const {
        if (RPM1 && RPM2)
            return std::max(*RPM1, *RPM2);
        return RPM1 ? RPM1 : RPM2;
    }
};

// The HPU status frame: the pressure is always carried; a mode or pitch code that is not
// listed is empty, and the last one recognised stays.
struct HpuReading {
    double Pression = 0.0;          // bar
    std::optional<QString> ModeHPU; // "Auto" / "Manuel"
    std::optional<QString> Pitch;   // pitch-correction caption
    quint8 pitchDesign = 0;         // byte 8: with ValeurModeCalage, picks the HPU buttons' captions
};

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>

// A byte array of the link: 41 entries (indices 0 to 40), byte 0 of a frame in entry 0,
// each entry one byte value 0..255.
constexpr int kFrameBufferSize = 41;
using ByteArray41 = std::array<quint8, kFrameBufferSize>;

// The marker of a measurement that is not known: its device is silent, or the last frame did
// not carry it. Decoding never gives a negative value, so the marker is never a measurement.
constexpr double kNotKnown = -1.0;
inline bool isKnown(double value) {
    return value != kNotKnown;
}

// StatutRS485: where the receive state machine stands (4 is not used).
enum class StatutRS485 : qint64 {
    Search = 0,             // look for a header anywhere in the buffered bytes
    NextHeader = 1,         // synchronised: the next bytes are the next frame's header
    Body = 2,               // header read, waiting for the rest of the frame
    Check = 3,              // whole frame read: checksum, then dispatch
    EmissionPreparation = 5 // rebuild strbufferEmission, then next header
};

// The one record of live state. Every subsystem reads and writes these fields by name;
// the secondary windows reach them through the one Monitor. Defaults are those of a fresh
// main window; nothing here is persisted.
struct MonitorState {
    // Receive link
    ::StatutRS485 StatutRS485 = ::StatutRS485::Search;
    ByteArray41 TrameBuffer{};  // frame being received or last received
    qint64 TrameBufferSize = 0; // entry 3 + 4 once a header has been read
    qint64 CRC_temp = 0;        // checksum computed by the last checkCRCreception

    // Emission: one outgoing slot, no queue
    ByteArray41 TrameBufferEmission{}; // last command frame built
    qint64 TrameBufferEmissionSize = 0;
    QByteArray strbufferEmission; // bytes the emission tick writes
    bool emissionRequest = false; // a command is waiting to be sent

    // HPU EEPROM transaction
    bool reponseHPU = false;         // a read answer was copied to TrameBufferEEPROM
    bool reponseecritureHPU = false; // a write acknowledgement arrived
    ByteArray41 TrameBufferEEPROM{};

    // Converter measurements; kNotKnown (-1) until the converter's first frame, when it is
    // silent, or when its last frame did not carry the value. The monitor keeps them from the
    // decoders' typed readings (ConverterReading), and reads them back typed.
    double U_in = kNotKnown;   // V
    double U_out = kNotKnown;  // V
    double I_out = kNotKnown;  // A
    double P_out = kNotKnown;  // W, U_out x I_out
    double TempCV = kNotKnown; // degrees Celsius
    qint64 RPM1 = -1;          // rpm
    qint64 RPM2 = -1;          // rpm, 0 under protocol "V2"
    QString ProtocoleVersion = QStringLiteral("V2");
    qint64 timeLastDataCV = 0; // ms since program start

    // HPU state
    double Pression = kNotKnown; // bar; -1 until the HPU's first status frame and when silent
    QString ModeHPU;             // "Auto" / "Manuel"; " " when silent
    QString Pitch;               // pitch caption; " " when silent
    bool presenceHPU = false;
    // The last status frame's pitch design (byte 8 + ValeurModeCalage at the time) was 0:
    // blades at full incidence without pressure, the HPU buttons read FEATHER and STOP.
    bool pitchDesignFeathers = false;
    qint64 timeLastDataHPU = 0; // ms since program start, any valid HPU frame

    // Alarm settings ("Alarms_Settings.txt")
    double ValeurAlarmeUin = 53.0;    // V
    qint64 ValeurAlarmeRPM = 3000;    // rpm
    double ValeurAlarmeTemp = 80.0;   // degrees Celsius
    double ValeurHautePression = 5.0; // bar at full travel
    qint64 ValeurModeCalage = 0;      // pitch design mode, 0 or 1
    qint64 VolumeAlarmeHydro = 100;   // 0..100

    // Gauge, log and errors
    double filtered_alpha = 0.5; // gauge angle kept from one paint to the next, radians
    QDateTime d;                 // date and time of the CSV line being written
    QString timeStampLastLog = QStringLiteral("00:00:00");
    QString LogFolder; // empty until first read
    qint64 serial_count_errors = 0;
};

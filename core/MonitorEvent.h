#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

// Something that happened to the link or the installation, as the event journal records it.
// Consumers outside the windows (the journal, the unattended logger) take this value from the
// monitor instead of reaching into the state record.
struct MonitorEvent {
    enum class Kind {
        Connected,               // detail: the device
        Disconnected,            // detail: the device
        ConnectionLost,          // detail: the port's error text, or why the device is gone
        Reconnected,             // detail: the device
        AlarmRaised,             // detail: which alarm and the value
        AlarmCleared,            // detail: which alarm and the value
        CommandWritten,          // detail: the command ("pump", "EEPROM write 30 = 750", ...)
        EepromWriteAcknowledged, // detail: the write acknowledged, when known
        LogWriteFailed,          // detail: the file that could not be written
        StatesDropped,           // detail: how many seconds were not published, and where to
        CaptureStopped,          // detail: why a bus capture ended on its own (limit, failure)
        ClockStepped,            // detail: the time the wall clock should have shown, and the time it shows
        LogFileMoved,            // detail: the day file that refused its lines, and the file beside it taking them
    };

    QDateTime time; // local wall-clock time
    Kind kind = Kind::Connected;
    QString detail;

    // The event as the journal names it: "connected", "connection lost", ...
    static QString name(Kind kind) {
        switch (kind) {
        case Kind::Connected:
            return QStringLiteral("connected");
        case Kind::Disconnected:
            return QStringLiteral("disconnected");
        case Kind::ConnectionLost:
            return QStringLiteral("connection lost");
        case Kind::Reconnected:
            return QStringLiteral("reconnected");
        case Kind::AlarmRaised:
            return QStringLiteral("alarm raised");
        case Kind::AlarmCleared:
            return QStringLiteral("alarm cleared");
        case Kind::CommandWritten:
            return QStringLiteral("command written");
        case Kind::EepromWriteAcknowledged:
            return QStringLiteral("EEPROM write acknowledged");
        case Kind::LogWriteFailed:
            return QStringLiteral("log write failed");
        case Kind::StatesDropped:
            return QStringLiteral("states not published");
        case Kind::CaptureStopped:
            return QStringLiteral("capture stopped");
        case Kind::ClockStepped:
            return QStringLiteral("clock stepped");
        case Kind::LogFileMoved:
            return QStringLiteral("log file moved");
        }
        return QString();
    }
};

Q_DECLARE_METATYPE(MonitorEvent)

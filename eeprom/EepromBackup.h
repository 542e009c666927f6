#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// One parameter of an HPU backup file.
struct EepromBackupParameter {
    qint64 address = -1;
    QString identifier;  // TYPE_PALES, PRESSION_MAX, ...
    QString description; // as the list shows it
    qint64 raw = -1;     // the value the HPU holds
    QString physical;    // the Real value text as shown, "8.00 [bar]"
    QString unit;        // the raw unit, "0.01 bar"
};

// A record of an HPU's EEPROM, kept before a turbine is changed or to clone settings to
// another turbine: a JSON object with the tool's version, when it was taken (UTC), the
// HPU's board number and software version and the parameters.
struct EepromBackup {
    static constexpr qint64 kLargestFileBytes = 64 * 1024;

    QString toolVersion;
    QDateTime savedAtUtc;
    qint64 boardNumber = -1;     // -1: not in the file
    qint64 softwareVersion = -1; // -1: not in the file
    QVector<EepromBackupParameter> parameters;

    QByteArray toJson() const;
    // "HPU_<board>_<yyyy-MM-dd_HHmm>.json"
    static QString defaultFileName(qint64 boardNumber, const QDateTime& utc);
    // This build's version, "2.3.3".
    static QString currentToolVersion();
};

// A backup file read and checked: either the backup, or the first fault found in it.
struct EepromBackupReading {
    bool ok = false;
    QString error; // names the first bad entry
    EepromBackup backup;
};

// Checks the file before anything is believed: well-formed JSON, at most 64 KiB, only the
// 17 parameter addresses and each at most once, raw values whole numbers within 0 to 65535
// (0 to 255 for a one-byte parameter), and each entry's identifier and unit those of the
// catalogue's parameter at its address.
EepromBackupReading parseEepromBackup(const QByteArray& bytes);
EepromBackupReading readEepromBackupFile(const QString& path);

// Writes the file whole or not at all. Empty on success, otherwise why it failed.
QString writeEepromBackupFile(const QString& path, const EepromBackup& backup);

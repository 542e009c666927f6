#include "eeprom/EepromBackup.h"

#include "core/Version.h"
#include "core/WholeFileWriter.h"
#include "eeprom/EepromCatalogue.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>

namespace {

// The context of this file's texts in the translation.
struct BackupText {
    Q_DECLARE_TR_FUNCTIONS(EepromBackup)
};

// A JSON number that is a whole number, or nothing.
bool wholeNumber(const QJsonValue& value, double* number) {
    if (!value.isDouble())
        return false;
    *number = value.toDouble();
    return std::isfinite(*number) && std::floor(*number) == *number;
}

EepromBackupReading refused(const QString& error) {
    EepromBackupReading reading;
    reading.error = error;
    return reading;
}

} // namespace

QByteArray EepromBackup::toJson() const {
    QJsonArray list;
    for (const EepromBackupParameter& p : parameters) {
        list.append(QJsonObject{{QStringLiteral("address"), p.address},
                                {QStringLiteral("identifier"), p.identifier},
                                {QStringLiteral("description"), p.description},
                                {QStringLiteral("raw"), p.raw},
                                {QStringLiteral("physical"), p.physical},
                                {QStringLiteral("unit"), p.unit}});
    }
    const QJsonObject root{{QStringLiteral("tool"), QStringLiteral("Velmora")},
                           {QStringLiteral("toolVersion"), toolVersion},
                           {QStringLiteral("savedAt"), savedAtUtc.toUTC().toString(Qt::ISODate)},
                           {QStringLiteral("boardNumber"), boardNumber},
                           {QStringLiteral("softwareVersion"), softwareVersion},
                           {QStringLiteral("parameters"), list}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString EepromBackup::defaultFileName(qint64 boardNumber, const QDateTime& utc) {
    return QStringLiteral("HPU_%1_%2.json")
        .arg(boardNumber)
        .arg(utc.toUTC().toString(QStringLiteral("yyyy-MM-dd_HHmm")));
}

QString EepromBackup::currentToolVersion() {
    return velmoraVersion();
}

EepromBackupReading parseEepromBackup(const QByteArray& bytes) {
    if (bytes.size() > EepromBackup::kLargestFileBytes)
        return refused(BackupText::tr("The file is larger than 64 KiB: it is not an HPU backup."));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return refused(BackupText::tr("The file is not a well-formed JSON file (%1 at byte %2).")
                           .arg(parseError.errorString())
                           .arg(parseError.offset));
    if (!document.isObject() || !document.object().value(QStringLiteral("parameters")).isArray())
        return refused(BackupText::tr("The file holds no list of HPU parameters."));

    const QJsonObject root = document.object();
    EepromBackupReading reading;
    EepromBackup& backup = reading.backup;
    backup.toolVersion = root.value(QStringLiteral("toolVersion")).toString();
    backup.savedAtUtc = QDateTime::fromString(root.value(QStringLiteral("savedAt")).toString(), Qt::ISODate);
    for (const char* key : {"boardNumber", "softwareVersion"}) {
        const QJsonValue value = root.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            continue;
        double number = 0;
        if (!wholeNumber(value, &number) || number < 0 || number > 65535)
            return refused(BackupText::tr("The file's %1 is not a whole number from 0 to 65535.")
                               .arg(QLatin1String(key)));
        (qstrcmp(key, "boardNumber") == 0 ? backup.boardNumber : backup.softwareVersion) = qint64(number);
    }

    const QJsonArray list = root.value(QStringLiteral("parameters")).toArray();
    if (list.isEmpty())
        return refused(BackupText::tr("The file's list of HPU parameters is empty."));
    const EepromCatalogue catalogue = EepromCatalogue::current();
    QSet<qint64> seen;
    for (int i = 0; i < list.size(); ++i) {
        const QString entry = BackupText::tr("Entry %1 of the file").arg(i + 1);
        if (!list[i].isObject())
            return refused(BackupText::tr("%1 is not a parameter.").arg(entry));
        const QJsonObject object = list[i].toObject();
        double address = 0;
        if (!wholeNumber(object.value(QStringLiteral("address")), &address))
            return refused(BackupText::tr("%1 has no whole-number address.").arg(entry));
        const EepromParameter* const parameter = catalogue.find(qint64(address));
        if (!parameter)
            return refused(BackupText::tr("%1: address %2 holds no HPU parameter.").arg(entry).arg(address));
        if (seen.contains(qint64(address)))
            return refused(BackupText::tr("%1: address %2 appears more than once.").arg(entry).arg(address));
        seen.insert(qint64(address));

        const QJsonValue rawValue = object.value(QStringLiteral("raw"));
        double raw = 0;
        if (!rawValue.isDouble())
            return refused(BackupText::tr("%1 (address %2) has no raw value.").arg(entry).arg(address));
        if (!wholeNumber(rawValue, &raw))
            return refused(BackupText::tr("%1 (address %2): %3 is not a whole number.")
                               .arg(entry)
                               .arg(address)
                               .arg(rawValue.toDouble()));
        const qint64 largest = parameter->largestRaw();
        if (raw < 0 || raw > largest)
            return refused(BackupText::tr("%1 (address %2): %3 lies outside 0 to %4.")
                               .arg(entry)
                               .arg(address)
                               .arg(raw, 0, 'f', 0)
                               .arg(largest));

        EepromBackupParameter p;
        p.address = qint64(address);
        p.raw = qint64(raw);
        p.identifier = object.value(QStringLiteral("identifier")).toString();
        p.description = object.value(QStringLiteral("description")).toString();
        p.physical = object.value(QStringLiteral("physical")).toString();
        p.unit = object.value(QStringLiteral("unit")).toString();
        // A value is only meaningful for the parameter it was saved from: a file whose entry
        // names another parameter, or counts in another unit, would write it to the wrong one.
        if (p.identifier != parameter->identifier || p.unit != parameter->unit)
            return refused(
                BackupText::tr("%1 (address %2) is %3 in \"%4\", but address %2 holds %5 in \"%6\".")
                    .arg(entry)
                    .arg(p.address)
                    .arg(p.identifier.isEmpty() ? BackupText::tr("unnamed") : p.identifier, p.unit,
                         parameter->identifier, parameter->unit));
        backup.parameters.append(p);
    }
    reading.ok = true;
    return reading;
}

EepromBackupReading readEepromBackupFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(BackupText::tr("The file %1 cannot be opened: %2").arg(path, file.errorString()));
    // One byte more than allowed tells a file that is too large without reading it whole.
    return parseEepromBackup(file.read(EepromBackup::kLargestFileBytes + 1));
}

QString writeEepromBackupFile(const QString& path, const EepromBackup& backup) {
    WholeFileWriter file(path);
    if (!file.open())
        return BackupText::tr("The file %1 cannot be created: %2").arg(path, file.errorString());
    if (!file.write(backup.toJson()) || !file.commit())
        return BackupText::tr("The file %1 could not be written: %2").arg(path, file.errorString());
    return QString();
}

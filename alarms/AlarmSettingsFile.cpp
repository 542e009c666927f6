#include "alarms/AlarmSettingsFile.h"

#include "core/NumberMask.h"
#include "core/WholeFileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

bool readAlarmsFile(MonitorState& state, const QString& filePath, const QLocale& locale) {
    if (filePath.isEmpty())
        return false;
    // Only a regular file: a device or a pipe in its place could block or never end.
    const QFileInfo info(filePath);
    if (!info.exists() || !info.isFile())
        return false;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray head = file.read(kAlarmsFileMaxBytes);
    file.close();
    // A hand-edited file saved with a byte-order mark: the first threshold follows it.
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);

    QStringList lines;
    for (const QByteArray& raw : head.split('\n')) {
        if (lines.size() == kAlarmsFileLines)
            break;
        QByteArray line = raw.left(kAlarmsFileMaxLineLength);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(QString::fromUtf8(line));
    }
    // Lines past the end of the file read as empty, that is 0.
    while (lines.size() < kAlarmsFileLines)
        lines.append(QString());

    state.ValeurAlarmeUin = parseLocaleNumber(lines[0], locale);
    state.ValeurAlarmeRPM = parseLocaleInteger(lines[1], locale);
    state.ValeurAlarmeTemp = parseLocaleNumber(lines[2], locale);
    state.ValeurHautePression = parseLocaleNumber(lines[3], locale);
    state.ValeurModeCalage = parseLocaleInteger(lines[4], locale);
    state.VolumeAlarmeHydro = parseLocaleInteger(lines[5], locale);
    return true;
}

bool writeAlarmsFile(const MonitorState& state, const QString& filePath, QString* error,
                     const QLocale& locale) {
    if (filePath.isEmpty()) {
        setError(error, QCoreApplication::translate("Messages",
                                                    "The alarm settings could not be saved: the "
                                                    "application's resource folder cannot be found."));
        return false;
    }

    const QString oneDecimal = QStringLiteral("0.0");
    const QString whole = QStringLiteral("0");
    const QStringList lines{
        formatMask(state.ValeurAlarmeUin, oneDecimal, locale),
        formatMask(double(state.ValeurAlarmeRPM), whole, locale),
        formatMask(state.ValeurAlarmeTemp, oneDecimal, locale),
        formatMask(state.ValeurHautePression, oneDecimal, locale),
        formatMask(double(state.ValeurModeCalage), whole, locale),
        formatMask(double(state.VolumeAlarmeHydro), whole, locale),
    };
    QByteArray content;
    for (const QString& line : lines)
        content += line.toUtf8() + '\n';

    WholeFileWriter file(filePath);
    if (!(file.open() && file.write(content) && file.commit())) {
        setError(error, QCoreApplication::translate("Messages", "The alarm settings could not be saved to %1: %2")
                            .arg(QDir::toNativeSeparators(filePath), file.errorString()));
        return false;
    }
    return true;
}

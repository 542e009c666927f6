#include "datalog/CsvLog.h"

#include "core/NumberMask.h"
#include "core/WholeLineFile.h"
#include "datalog/CsvLogFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

using CsvLogFormat::header;
using CsvLogFormat::kLineEnd;
using CsvLogFormat::kSeparator;

} // namespace

CsvLog::CsvLog(MonitorState& state, const WallClock& wallClock, Notifier& notifier,
               const LogFolderSetting& folderSetting)
    : state_(state)
    , wallClock_(wallClock)
    , notifier_(notifier)
    , folderSetting_(folderSetting) {}

QString CsvLog::fileName(const QDateTime& d, const QString& deviceEntry) {
    return dayFileName(d, QStringLiteral("LogOrvane"), deviceEntry);
}

QString CsvLog::dayFileName(const QDateTime& d, const QString& kind, const QString& deviceEntry) {
    const QDate date = d.date();
    const QString device = adapterPart(deviceEntry);
    return QStringLiteral("%1_%2_%3_%4_%5.csv")
        .arg(date.year())
        .arg(formatMask(date.month(), QStringLiteral("00")))
        .arg(formatMask(date.day(), QStringLiteral("00")))
        .arg(kind)
        .arg(device);
}

QString CsvLog::adapterPart(const QString& deviceEntry) {
    static const QRegularExpression udevById(
        QStringLiteral("^usb-(?:.*_)?([^_]+)-if([0-9]+)(?:-port([0-9]+))?$"));
    // Letters, digits, ".", "-" and "_" only: a name every file system takes.
    const auto portable = [](QString part) {
        for (QChar& c : part)
            if (!(c.unicode() < 128 && c.isLetterOrNumber()) && c != QLatin1Char('.') && c != QLatin1Char('-'))
                c = QLatin1Char('_');
        return part;
    };
    const QString baseName = deviceEntry.mid(deviceEntry.lastIndexOf(QLatin1Char('/')) + 1);
    const QRegularExpressionMatch byId = udevById.match(baseName);
    if (byId.hasMatch()) {
        QString part = byId.captured(1);
        if (byId.captured(2).toInt() != 0)
            part += QStringLiteral("-if") + byId.captured(2);
        if (byId.captured(3).toInt() != 0)
            part += QStringLiteral("-port") + byId.captured(3);
        return portable(part);
    }
    if (deviceEntry.contains(QStringLiteral("/serial/by-path/")))
        return portable(baseName);
    // Keep the file inside the log folder whatever the device name holds.
    QString part = deviceEntry.right(8);
    part.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return part;
}

QString CsvLog::timeFormat(const QLocale& locale) {
    const QString longFormat = locale.timeFormat(QLocale::LongFormat);
    QString format;
    bool quoted = false;
    bool hasSeconds = false;
    for (int i = 0; i < longFormat.size(); ++i) {
        const QChar c = longFormat[i];
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('t'))
            continue; // the time-zone name
        else if (!quoted && c == QLatin1Char('s'))
            hasSeconds = true;
        format += c;
    }
    // What held the zone name ("(t)" in some locales) goes with it.
    format.remove(QStringLiteral("()"));
    format = format.simplified();
    return hasSeconds ? format : QStringLiteral("HH:mm:ss");
}

QByteArray CsvLog::dataLine(const QString& timeOfDay, const QLocale& locale) const {
    QStringList fields{
        timeOfDay,
        formatMask(state_.U_in, QStringLiteral("00.000"), locale),
        formatMask(state_.U_out, QStringLiteral("00.000"), locale),
        formatMask(state_.I_out, QStringLiteral("00.000"), locale),
        formatMask(state_.P_out, QStringLiteral("00.0"), locale),
        formatMask(static_cast<double>(state_.RPM1), QStringLiteral("00"), locale),
        formatMask(state_.TempCV, QStringLiteral("00.0"), locale),
    };
    if (state_.presenceHPU)
        fields << state_.ModeHPU << formatMask(state_.Pression, QStringLiteral("0.00"), locale)
               << state_.Pitch;
    QByteArray line;
    for (const QString& field : fields)
        line += field.toUtf8() + kSeparator;
    return line + kLineEnd;
}

CsvLog::TickOutcome CsvLog::logTick(bool boxTicked, const QString& deviceEntry) {
    if (!boxTicked || failureOnScreen_)
        return TickOutcome::NothingWritten;

    const QLocale locale;
    state_.d = wallClock_.now();
    const QString name = fileName(state_.d, deviceEntry);
    const QString timeOfDay = locale.toString(state_.d.time(), timeFormat(locale));

    // Re-read at every tick, so a new folder chosen in the preferences applies at once.
    folderSetting_.readLogPathFile(state_.LogFolder);
    if (state_.LogFolder.isEmpty())
        return TickOutcome::NothingWritten; // no folder to log into: nothing to write, nothing to tell
    const QString path = QDir(state_.LogFolder).filePath(name);

    const bool lineDue = timeOfDay != state_.timeStampLastLog;
    // A day file that does not exist yet is made with its header at once, line or not.
    if (!lineDue && QFileInfo::exists(path))
        return TickOutcome::NothingWritten;
    // A new, empty or torn day file is headed or mended on the way (see WholeLineFile).
    const DayFileWriter::Result written = dayFile_.append(path, header(state_.presenceHPU),
                                                          lineDue ? dataLine(timeOfDay, locale) : QByteArray());
    if (!written.written)
        return reportFailure(written.path);
    if (lineDue)
        state_.timeStampLastLog = timeOfDay;
    toldUnwritten_ = false;
    if (!written.movedFrom.isEmpty()) {
        // Told once; the box stays ticked, the log goes on in the file beside.
        if (eventObserver_)
            eventObserver_(MonitorEvent::Kind::LogFileMoved, written.movedFrom + QStringLiteral(" -> ") + written.path);
        notifier_.showMessage(DayFileWriter::movedMessage(written.movedFrom, written.path));
    }
    return TickOutcome::Written;
}

CsvLog::TickOutcome CsvLog::reportFailure(const QString& path) {
    // The message box runs its own event loop: the ticks that come meanwhile must neither
    // write nor tell the same failure again.
    if (failureOnScreen_)
        return TickOutcome::NothingWritten;
    failureOnScreen_ = true;
    if (eventObserver_)
        eventObserver_(MonitorEvent::Kind::LogWriteFailed, path);
    if (!toldUnwritten_)
        notifier_.showMessage(failureMessage());
    toldUnwritten_ = true;
    failureOnScreen_ = false;
    offAfterFailure_ = true;
    return TickOutcome::Failed;
}

void CsvLog::tellJournalFailure() {
    if (failureOnScreen_ || offAfterFailure_ || toldUnwritten_)
        return;
    toldUnwritten_ = true;
    failureOnScreen_ = true; // no line is written while the message is open, as for the log's own
    notifier_.showMessage(failureMessage());
    failureOnScreen_ = false;
}

#include "datalog/EventJournal.h"

#include "datalog/CsvLog.h"

#include <QDir>

namespace EventJournal {

QString fileName(const QDateTime& d, const QString& deviceEntry) {
    return CsvLog::dayFileName(d, QStringLiteral("EventsOrvane"), deviceEntry);
}

QByteArray header() {
    return QByteArrayLiteral("EVENTS ORVANE\ndate;time;event;detail;\n");
}

QByteArray line(const MonitorEvent& event) {
    QString detail = event.detail;
    detail.replace(QLatin1Char(';'), QLatin1Char(','));
    detail.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString text = event.time.toString(QStringLiteral("yyyy-MM-dd;HH:mm:ss;")) +
                         MonitorEvent::name(event.kind) + QLatin1Char(';') + detail + QStringLiteral(";\n");
    return text.toUtf8();
}

DayFileWriter::Result append(DayFileWriter& writer, const QString& folder, const QString& deviceEntry,
                             const MonitorEvent& event) {
    return writer.append(QDir(folder).filePath(fileName(event.time, deviceEntry)), header(), line(event));
}

bool append(const QString& folder, const QString& deviceEntry, const MonitorEvent& event, QString* path) {
    DayFileWriter writer;
    const DayFileWriter::Result result = append(writer, folder, deviceEntry, event);
    if (path)
        *path = result.path;
    return result.written;
}

} // namespace EventJournal

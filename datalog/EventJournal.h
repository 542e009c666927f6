#pragma once

#include "core/MonitorEvent.h"
#include "datalog/DayFileWriter.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The event journal: beside each day's CSV log of an adapter, the file
// "year_MM_dd_EventsOrvane_<adapter>.csv" holds one line per event (connections, losses,
// alarms, commands, log failures): "2026-03-14;14:03:27;connection lost;Input/output error;".
// Lines are written whole; the date and time are local and the same in every locale.
namespace EventJournal {

QString fileName(const QDateTime& d, const QString& deviceEntry);
// "EVENTS ORVANE" and the title line, written when the day's file is created.
QByteArray header();
// The event's line; a ";" or a line break in the detail would split it, so they become ",", " ".
QByteArray line(const MonitorEvent& event);
// Appends the event's line to the day's file in folder, headed when new or empty, beside it
// when it refuses the line (see DayFileWriter).
DayFileWriter::Result append(DayFileWriter& writer, const QString& folder, const QString& deviceEntry,
                             const MonitorEvent& event);
// The same with a writer of its own. False when the file cannot be written; path then names it.
bool append(const QString& folder, const QString& deviceEntry, const MonitorEvent& event,
            QString* path = nullptr);

} // namespace EventJournal

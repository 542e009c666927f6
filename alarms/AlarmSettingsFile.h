#pragma once

#include "core/MonitorState.h"

#include <QLocale>
#include <QString>

// "Alarms_Settings.txt" in the application's resource folder: six lines, nothing else, in
// this order and with these masks: ValeurAlarmeUin "0.0", ValeurAlarmeRPM "0",
// ValeurAlarmeTemp "0.0", ValeurHautePression "0.0", ValeurModeCalage "0",
// VolumeAlarmeHydro "0". Numbers use the locale's decimal separator both ways.

constexpr int kAlarmsFileLines = 6;
// A settings file is a few dozen bytes; anything beyond these limits is not read, so a huge
// or binary file in its place cannot stall the window or exhaust memory.
constexpr qint64 kAlarmsFileMaxBytes = 64 * 1024;
constexpr int kAlarmsFileMaxLineLength = 256;

// Reads the six settings. An empty, missing (end of file) or non-numeric line gives 0; the
// Integer settings take the value truncated toward zero. Returns false, with the values
// unchanged, when the path is empty (resource folder unknown), the file is absent, is not a
// regular file, or cannot be opened.
bool readAlarmsFile(MonitorState& state, const QString& filePath, const QLocale& locale = QLocale());

// Replaces the file with the six lines, each ended by a line feed, through WholeFileWriter:
// written to the side and then put in place, so a failed write leaves the previous settings
// intact. Where only the file, not its folder, may be written, it is written in place, and a
// write failing there still leaves the file.
// Returns false with *error (when given) set to a text for the user when it cannot be
// written; the caller keeps the values in memory.
bool writeAlarmsFile(const MonitorState& state, const QString& filePath, QString* error,
                     const QLocale& locale = QLocale());

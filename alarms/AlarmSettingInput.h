#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// What may become an alarm setting when typed into the alarm settings window: a number
// written the way the window and "Alarms_Settings.txt" write numbers, nothing more. That is
// an optional "-" or "+", digits, and at most one decimal separator of the user's locale
// ("-7", "53", "53.0" with a point, "53,0" with a comma), spaces around it allowed.
//
// Everything else is refused rather than read as 0 or as its leading number: an empty text,
// letters, a group separator ("1,2,3" or "1,000" where the point is the decimal separator),
// the other separator ("53.0" where the comma is the decimal separator), and an exponent.
// "1e3" is refused because it could mean 1 (the leading number, as the settings file is read)
// or 1000 (scientific notation): a threshold a thousand times off is the slip this check is
// there to stop, and the masks never write an exponent, so nothing valid is lost.
//
// No range is checked: "-7" is a number and is taken as typed.
std::optional<double> parseTypedAlarmSetting(const QString& text, const QLocale& locale = QLocale());

// The message for a refused text: names the setting (its caption in the list) and shows
// what a number looks like in the user's locale ("53.0" or "53,0").
QString refusedAlarmSettingMessage(const QString& caption, const QString& typed,
                                   const QLocale& locale = QLocale());

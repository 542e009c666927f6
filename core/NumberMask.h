#pragma once

#include <QLocale>
#include <QString>

// Number masks such as "0.00", "000", "00.000": each "0" is a mandatory digit. The number
// is rounded to the decimals shown, zero-padded on the left to the integer digits shown
// (written in full when longer), with a leading "-" when negative, the decimal separator
// of the locale and no thousands separator.
QString formatMask(double value, const QString& mask, const QLocale& locale = QLocale());

// Reads a number typed or stored with the locale's decimal separator: the leading number
// of the text; empty or non-numeric text reads as 0.
double parseLocaleNumber(const QString& text, const QLocale& locale = QLocale());

// An Integer setting takes the parsed value truncated toward zero.
qint64 parseLocaleInteger(const QString& text, const QLocale& locale = QLocale());

// The leading integer of a text ("150ms" gives 150, "12.7" gives 12, "abc" gives 0),
// as the emission delay field and the EEPROM editor read their texts.
qint64 leadingInteger(const QString& text);

#pragma once

#include <QLocale>
#include <QString>

// The Real value column: a raw EEPROM value turned into its physical value by the row's
// Unity text ("0.1 V" -> "50.0 [V]", "10 ms" -> "0.200 [s]"); an unknown unit, "-"
// included, shows the raw value with " [-]".
QString realValueText(qint64 value, const QString& unity, const QLocale& locale = QLocale());

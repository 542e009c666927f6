#include "alarms/AlarmSettingInput.h"

#include "core/NumberMask.h"

#include <QCoreApplication>

#include <cmath>

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

std::optional<double> parseTypedAlarmSetting(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    const QString decimal = locale.decimalPoint();
    int at = 0;
    if (at < trimmed.size() && (trimmed[at] == QLatin1Char('-') || trimmed[at] == QLatin1Char('+')))
        ++at;
    bool seenDigit = false;
    bool seenDecimal = false;
    while (at < trimmed.size()) {
        if (isAsciiDigit(trimmed[at])) {
            seenDigit = true;
            ++at;
        } else if (!seenDecimal && !decimal.isEmpty() && QStringView(trimmed).mid(at).startsWith(decimal)) {
            seenDecimal = true;
            at += decimal.size();
        } else {
            return std::nullopt; // anything after the number: letters, a second separator, an exponent
        }
    }
    if (!seenDigit)
        return std::nullopt;
    QString number = trimmed;
    number.replace(decimal, QStringLiteral("."));
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString refusedAlarmSettingMessage(const QString& caption, const QString& typed, const QLocale& locale) {
    return QCoreApplication::translate("AlarmSettingInput",
                                       "%1: \"%2\" is not a number, so the previous value is kept. "
                                       "Type a number such as %3.")
        .arg(caption, typed, formatMask(53.0, QStringLiteral("0.0"), locale));
}

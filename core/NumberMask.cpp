#include "core/NumberMask.h"

#include <cmath>
#include <limits>

QString formatMask(double value, const QString& mask, const QLocale& locale) {
    const int point = mask.indexOf(QLatin1Char('.'));
    const int integerDigits = point < 0 ? mask.size() : point;
    const int decimals = point < 0 ? 0 : mask.size() - point - 1;

    if (!std::isfinite(value))
        value = 0.0;
    QString digits = QString::number(std::fabs(value), 'f', decimals);
    // Rounding may turn -0.004 into "0.00": no minus sign on a zero.
    bool nonZero = false;
    for (QChar c : digits)
        nonZero = nonZero || (c >= QLatin1Char('1') && c <= QLatin1Char('9'));
    const bool negative = value < 0 && nonZero;

    int dot = digits.indexOf(QLatin1Char('.'));
    QString whole = dot < 0 ? digits : digits.left(dot);
    const QString fraction = dot < 0 ? QString() : digits.mid(dot + 1);
    if (whole.size() < integerDigits)
        whole.prepend(QString(integerDigits - whole.size(), QLatin1Char('0')));

    QString result = negative ? QStringLiteral("-") : QString();
    result += whole;
    if (decimals > 0)
        result += locale.decimalPoint() + fraction;
    return result;
}

double parseLocaleNumber(const QString& text, const QLocale& locale) {
    const QString decimal = locale.decimalPoint();
    const QString trimmed = text.trimmed();
    // Keep the leading number: sign, digits, one decimal separator, digits.
    int end = 0;
    if (end < trimmed.size() && (trimmed[end] == QLatin1Char('-') || trimmed[end] == QLatin1Char('+')))
        ++end;
    bool seenDigit = false;
    bool seenDecimal = false;
    while (end < trimmed.size()) {
        const QChar c = trimmed[end];
        if (c.isDigit()) {
            seenDigit = true;
            ++end;
        } else if (!seenDecimal && QString(c) == decimal) {
            seenDecimal = true;
            ++end;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0.0;
    QString number = trimmed.left(end);
    number.replace(decimal, QStringLiteral("."));
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

qint64 parseLocaleInteger(const QString& text, const QLocale& locale) {
    const double value = std::trunc(parseLocaleNumber(text, locale));
    constexpr double kMax = static_cast<double>(std::numeric_limits<qint64>::max());
    if (value >= kMax)
        return std::numeric_limits<qint64>::max();
    if (value <= -kMax)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(value);
}

qint64 leadingInteger(const QString& text) {
    return parseLocaleInteger(text, QLocale::c());
}

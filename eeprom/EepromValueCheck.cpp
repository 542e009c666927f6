#include "eeprom/EepromValueCheck.h"

#include "eeprom/EepromCatalogue.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

// The context of this file's texts in the translation.
struct CheckText {
    Q_DECLARE_TR_FUNCTIONS(EepromValueCheck)
};

// "a whole number of 0.01 bar (0 to 820)"; a unit "-" has no unit to name.
QString expected(const EepromParameter& parameter) {
    const QString& unity = parameter.unit;
    const QString range = CheckText::tr("(%1 to %2)").arg(parameter.min).arg(parameter.max);
    if (unity.isEmpty() || unity == QLatin1String("-"))
        return CheckText::tr("a whole number without unit %1").arg(range);
    return CheckText::tr("a whole number of %1 %2").arg(unity, range);
}

TypedValue refusal(const QString& message) {
    TypedValue typed;
    typed.message = message;
    return typed;
}

} // namespace

TypedValue checkTypedValue(const EepromParameter& parameter, const QString& text) {
    const QString& description = parameter.description;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return refusal(
            CheckText::tr("Nothing was typed. \"%1\" takes %2.").arg(description, expected(parameter)));
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    if (!whole.match(trimmed).hasMatch())
        return refusal(CheckText::tr("\"%1\" is not a whole number. \"%2\" takes %3.")
                           .arg(trimmed, description, expected(parameter)));

    constexpr qint64 kLargest = 65535; // two bytes on the wire
    bool fits = false;
    const qint64 value = trimmed.toLongLong(&fits); // false beyond 64 bits: far too large anyway
    if (!fits || value < 0 || value > kLargest)
        return refusal(CheckText::tr("%1 cannot be written: an EEPROM value must lie between 0 and %2.")
                           .arg(trimmed)
                           .arg(kLargest));
    const qint64 min = parameter.min;
    const qint64 max = parameter.max;
    if (value > parameter.largestRaw())
        return refusal(CheckText::tr("%1 cannot be written: \"%2\" is held in one byte, 0 to 255.")
                           .arg(value)
                           .arg(description));

    TypedValue typed;
    typed.value = value;
    if (value < min || value > max) {
        typed.verdict = TypedValue::OutOfRange;
        typed.message =
            CheckText::tr("%1 is outside the range of \"%2\" (%3 to %4).\nWrite it to the HPU anyway?")
                .arg(value)
                .arg(description)
                .arg(min)
                .arg(max);
    } else {
        typed.verdict = TypedValue::Writable;
    }
    return typed;
}

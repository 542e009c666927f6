#include "eeprom/EepromUnits.h"

#include "core/NumberMask.h"

namespace {

struct Unit {
    const char* unity;
    double scale;
    const char* mask;
    const char* suffix;
};

// Compared on the whole Unity field, first match wins.
const Unit kUnits[] = {
    {"0.1 V", 0.1, "0.0", " [V]"}, {"0.01 bar", 0.01, "0.00", " [bar]"},
    {"W", 1.0, "0", " [W]"},       {"RPM", 1.0, "0", " [RPM]"},
    {"ms", 1.0, "0", " [ms]"},     {"s", 1.0, "0", " [s]"},
    {"min", 1.0, "0", " [min]"},   {"10 ms", 0.01, "0.000", " [s]"}, // ticks of 10 ms, shown in seconds
    {"20 ms", 0.02, "0", " [s]"},                                    // ticks of 20 ms, shown in whole seconds
};

} // namespace

QString realValueText(qint64 value, const QString& unity, const QLocale& locale) {
    for (const Unit& unit : kUnits) {
        if (unity == QLatin1String(unit.unity))
            return formatMask(double(value) * unit.scale, QLatin1String(unit.mask), locale) +
                   QLatin1String(unit.suffix);
    }
    return formatMask(double(value), QStringLiteral("0"), locale) + QStringLiteral(" [-]");
}

#include "eeprom/EepromCatalogue.h"

#include "core/Captions.h"

namespace {

QStringList nineFields(const QString& line) {
    QStringList fields = line.split(QLatin1Char('\t'));
    while (fields.size() < kEepromColumnCount)
        fields.append(QString());
    while (fields.size() > kEepromColumnCount)
        fields.removeLast();
    return fields;
}

} // namespace

EepromCatalogue EepromCatalogue::parse(const QString& text) {
    EepromCatalogue catalogue;
    const QStringList lines = text.split(QLatin1Char('\n'));
    catalogue.heading = nineFields(lines.value(0));
    for (int i = 1; i < lines.size(); ++i)
        catalogue.rows.append(nineFields(lines[i]));
    return catalogue;
}

EepromCatalogue EepromCatalogue::current() {
    return parse(App::text(App::Caption::kEEPROMHPU));
}

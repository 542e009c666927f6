#include "eeprom/EepromCatalogue.h"

#include "core/Captions.h"
#include "core/NumberMask.h"

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
    for (int i = 1; i < lines.size(); ++i) {
        catalogue.rows.append(nineFields(lines[i]));
        catalogue.parameters.append(EepromParameter::fromFields(catalogue.rows.last()));
    }
    return catalogue;
}

EepromParameter EepromParameter::fromFields(const QStringList& fields) {
    EepromParameter p;
    p.address = leadingInteger(fields.value(kColAddress));
    p.identifier = fields.value(kColParameter);
    p.description = fields.value(kColDescribtion);
    p.min = leadingInteger(fields.value(kColMin));
    p.max = leadingInteger(fields.value(kColMax));
    p.unit = fields.value(kColUnity);
    return p;
}

const EepromParameter* EepromCatalogue::find(qint64 address) const {
    for (const EepromParameter& p : parameters)
        if (p.address == address)
            return &p;
    return nullptr;
}

EepromCatalogue EepromCatalogue::current() {
    return parse(App::text(App::Caption::kEEPROMHPU));
}

#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The columns of the EEPROM list, as the catalogue text lays them out. Address, Min, Max and
// Unity are hidden in the window but keep their texts; their numbers are read once, into
// each row's EepromParameter.
enum EepromColumn {
    kColAddress = 0,
    kColParameter = 1,
    kColDescribtion = 2,
    kColMin = 3,
    kColMax = 4,
    kColDefault = 5,
    kColUnity = 6,
    kColValue = 7,
    kColRealValue = 8,
    kEepromColumnCount = 9,
};

// One parameter of the catalogue, its numbers read once from the catalogue's text.
struct EepromParameter {
    qint64 address = -1;
    QString identifier;  // TYPE_PALES, PRESSION_MAX, ...
    QString description; // as the list shows it
    qint64 min = 0;
    qint64 max = 0;
    QString unit; // the raw unit, "0.01 bar"; "-" for none

    // One-byte parameters (Max at most 255) travel as one byte in the read answer: a larger
    // value could never be read back.
    qint64 largestRaw() const { return max <= 255 ? 255 : 65535; }
    static EepromParameter fromFields(const QStringList& fields);
};

// The HPU parameter catalogue (App.kEEPROMHPU): a heading line and one line per parameter,
// lines separated by a line feed and fields by a tab. Value and Real value are empty in the
// text and filled from the HPU's answer.
struct EepromCatalogue {
    QStringList heading;                 // the nine column headings
    QVector<QStringList> rows;           // one parameter per row, always nine fields
    QVector<EepromParameter> parameters; // the same parameters in the same order, typed

    // The parameter at an address; nullptr when the catalogue holds none there.
    const EepromParameter* find(qint64 address) const;

    // Splits a catalogue text. A line with fewer fields (a careless translation) is padded
    // with empty fields, one with more is cut, so every row has exactly nine.
    static EepromCatalogue parse(const QString& text);
    // The catalogue of the user's language.
    static EepromCatalogue current();
};

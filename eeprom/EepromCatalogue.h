#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The columns of the EEPROM list, as the catalogue text lays them out. Address, Min, Max and
// Unity are hidden in the window but keep their texts: the rows are read back from them.
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

// The HPU parameter catalogue (App.kEEPROMHPU): a heading line and one line per parameter,
// lines separated by a line feed and fields by a tab. Value and Real value are empty in the
// text and filled from the HPU's answer.
struct EepromCatalogue {
    QStringList heading;       // the nine column headings
    QVector<QStringList> rows; // one parameter per row, always nine fields

    // Splits a catalogue text. A line with fewer fields (a careless translation) is padded
    // with empty fields, one with more is cut, so every row has exactly nine.
    static EepromCatalogue parse(const QString& text);
    // The catalogue of the user's language.
    static EepromCatalogue current();
};

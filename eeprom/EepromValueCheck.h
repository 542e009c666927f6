#pragma once

#include <QString>

struct EepromParameter;

// What the technician typed into a row's Value cell, checked before anything is sent.
struct TypedValue {
    enum Verdict {
        Writable,   // within the row's Min and Max
        OutOfRange, // fits the EEPROM but lies outside Min and Max: ask first
        Refused,    // cannot be written: message says why
    };
    Verdict verdict = Refused;
    qint64 value = -1;
    QString message; // the refusal, or the question for a value outside Min and Max
};

// Only a whole number is accepted ("7.5", "abc" and an empty text are refused with the
// raw unit the row expects), within 0 to 65535, and within 0 to 255 for a one-byte
// parameter (Max at most 255), whose read-back could never show more.
TypedValue checkTypedValue(const EepromParameter& parameter, const QString& text);

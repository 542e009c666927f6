#pragma once

#include <QString>

// The questions the EEPROM editor puts to the technician before a write: the window shows
// modal message boxes, tests answer them.
class EepromPrompts {
public:
    virtual ~EepromPrompts() = default;
    // A value that cannot be written: the technician is told why.
    virtual void refuse(const QString& message) = 0;
    // A value that can be written but lies outside the parameter's range: true to write it.
    virtual bool confirm(const QString& question) = 0;
};

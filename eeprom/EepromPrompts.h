#pragma once

#include <QString>

// The questions the EEPROM editor puts to the technician: the window shows modal message
// boxes, tests answer them.
class EepromPrompts {
public:
    virtual ~EepromPrompts() = default;
    // A value or file that cannot be used: the technician is told why.
    virtual void refuse(const QString& message) = 0;
    // Something that can be written but needs the technician's consent: true to write it.
    // No is the answer offered by default.
    virtual bool confirm(const QString& question) = 0;
    // The outcome of a restore.
    virtual void inform(const QString& message) = 0;
};

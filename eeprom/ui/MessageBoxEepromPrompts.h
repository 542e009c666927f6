#pragma once

#include "eeprom/EepromPrompts.h"

class QWidget;

// The EEPROM editor's questions as modal message boxes over the EEPROM window.
class MessageBoxEepromPrompts : public EepromPrompts {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void refuse(const QString& message) override;
    bool confirm(const QString& question) override;
    void inform(const QString& message) override;

private:
    QWidget* parent_ = nullptr;
};

#pragma once

#include "eeprom/EepromFileChooser.h"

class QWidget;

// The backup's file dialogs, over the EEPROM window.
class FileDialogEepromFileChooser : public EepromFileChooser {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    std::optional<QString> saveFile(const QString& suggestedPath) override;
    std::optional<QString> openFile(const QString& folder) override;

private:
    QWidget* parent_ = nullptr;
};

#include "eeprom/ui/MessageBoxEepromPrompts.h"

#include <QCoreApplication>
#include <QMessageBox>

void MessageBoxEepromPrompts::refuse(const QString& message) {
    QMessageBox::warning(parent_, QCoreApplication::translate("WindowHPU", "HPU EEPROM"), message);
}

bool MessageBoxEepromPrompts::confirm(const QString& question) {
    return QMessageBox::question(parent_, QCoreApplication::translate("WindowHPU", "HPU EEPROM"), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxEepromPrompts::inform(const QString& message) {
    QMessageBox::information(parent_, QCoreApplication::translate("WindowHPU", "HPU EEPROM"), message);
}

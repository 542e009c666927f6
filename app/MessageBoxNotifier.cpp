#include "app/MessageBoxNotifier.h"

#include <QApplication>
#include <QMessageBox>

void MessageBoxNotifier::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), text, QMessageBox::Ok, parent_);
    box.exec();
}

void MessageBoxNotifier::beep() { QApplication::beep(); }

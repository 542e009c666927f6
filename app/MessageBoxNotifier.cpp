#include "app/MessageBoxNotifier.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

void MessageBoxNotifier::showMessage(const QString& text) {
    // The fixed messages of the core come in English (QT_TRANSLATE_NOOP "Messages"); others
    // arrive translated and are not found in that context, so they pass unchanged.
    const QString shown = QCoreApplication::translate("Messages", text.toUtf8().constData());
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), shown, QMessageBox::Ok, parent_);
    box.exec();
}

void MessageBoxNotifier::beep() { QApplication::beep(); }

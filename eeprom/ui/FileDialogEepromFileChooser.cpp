#include "eeprom/ui/FileDialogEepromFileChooser.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace {

QString filter() {
    return QCoreApplication::translate("WindowHPU", "HPU backup (*.json)");
}

std::optional<QString> chosen(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

} // namespace

std::optional<QString> FileDialogEepromFileChooser::saveFile(const QString& suggestedPath) {
    return chosen(QFileDialog::getSaveFileName(
        parent_, QCoreApplication::translate("WindowHPU", "Save HPU backup"), suggestedPath, filter()));
}

std::optional<QString> FileDialogEepromFileChooser::openFile(const QString& folder) {
    return chosen(QFileDialog::getOpenFileName(
        parent_, QCoreApplication::translate("WindowHPU", "Load HPU backup"), folder, filter()));
}

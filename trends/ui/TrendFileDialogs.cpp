#include "trends/ui/TrendFileDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace TrendFileDialogs {

QString chooseLog(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(
        parent, QCoreApplication::translate("TrendFileChooser", "Open log"), folder,
        QCoreApplication::translate("TrendFileChooser", "CSV logs (*.csv);;All files (*)"));
}

QString chooseExport(QWidget* parent, const QString& suggestedPath, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, QCoreApplication::translate("TrendFileChooser", "Export"),
                                        suggestedPath, filter);
}

} // namespace TrendFileDialogs

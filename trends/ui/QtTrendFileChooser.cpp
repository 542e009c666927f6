#include "trends/ui/QtTrendFileChooser.h"

#include <QCoreApplication>
#include <QFileDialog>

QString QtTrendFileChooser::chooseLog(const QString& folder) {
    return QFileDialog::getOpenFileName(
        parent_, QCoreApplication::translate("TrendFileChooser", "Open log"), folder,
        QCoreApplication::translate("TrendFileChooser", "CSV logs (*.csv);;All files (*)"));
}

QString QtTrendFileChooser::chooseExport(const QString& suggestedPath, const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, QCoreApplication::translate("TrendFileChooser", "Export"),
                                        suggestedPath, filter);
}

#include "trends/ui/QtTrendFileChooser.h"

#include <QFileDialog>

QString QtTrendFileChooser::chooseLog(const QString& folder) {
    return QFileDialog::getOpenFileName(parent_, QStringLiteral("Open log"), folder,
                                        QStringLiteral("CSV logs (*.csv);;All files (*)"));
}

QString QtTrendFileChooser::chooseExport(const QString& suggestedPath, const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, QStringLiteral("Export"), suggestedPath, filter);
}

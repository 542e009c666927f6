#include "app/CaptureFileChooser.h"

#include <QCoreApplication>
#include <QFileDialog>

std::optional<QString> chooseCaptureFile(QWidget* parent, const QString& suggested) {
    QFileDialog dialog(
        parent, QCoreApplication::translate("CaptureFileChooser", "Record bus"), suggested,
        QCoreApplication::translate("CaptureFileChooser", "Bus captures (*.txt);;All files (*)"));
    dialog.setObjectName(QStringLiteral("RecordBusDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

#include "app/CaptureFileChooser.h"

#include <QFileDialog>

std::optional<QString> QtCaptureFileChooser::chooseCaptureFile(QWidget* parent, const QString& suggested) {
    QFileDialog dialog(parent, QStringLiteral("Record bus"), suggested,
                       QStringLiteral("Bus captures (*.txt);;All files (*)"));
    dialog.setObjectName(QStringLiteral("RecordBusDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

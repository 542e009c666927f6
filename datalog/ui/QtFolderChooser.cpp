#include "datalog/ui/QtFolderChooser.h"

#include <QDir>
#include <QFileDialog>

std::optional<QString> QtFolderChooser::chooseFolder(const FolderChooserRequest& request) {
    QFileDialog dialog(parent_, request.title, request.initialFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::Accept, request.actionCaption);
    dialog.setLabelText(QFileDialog::Reject, request.cancelCaption);
    dialog.setLabelText(QFileDialog::LookIn, request.prompt);
    dialog.move(request.position);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::cleanPath(dialog.selectedFiles().constFirst());
}

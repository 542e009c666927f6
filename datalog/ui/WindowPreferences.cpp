#include "datalog/ui/WindowPreferences.h"

#include "core/Captions.h"
#include "datalog/LogFolderStore.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

WindowPreferences::WindowPreferences(LogFolderStore& logFolder, QWidget* parent)
    : QDialog(parent)
    , logFolder_(logFolder)
    , Label1(new QLabel(App::text(App::Caption::kLogPath), this))
    , TextField_Log_Path(new QLineEdit(this))
    , PushButton2(new QPushButton(tr("Folder Selection"), this))
    , PushButton1(new QPushButton(tr("OK"), this)) {
    setObjectName(QStringLiteral("WindowPreferences"));
    setWindowTitle(tr("Preferences"));
    setFixedSize(600, 324);
    setModal(true);

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(20, 53, 378, 20);

    // Only the program sets the path, and a long path must reach the settings file whole,
    // so the field has no typing limit.
    TextField_Log_Path->setObjectName(QStringLiteral("TextField_Log_Path"));
    TextField_Log_Path->setGeometry(20, 77, 378, 22);
    TextField_Log_Path->setReadOnly(true);
    TextField_Log_Path->setAlignment(Qt::AlignRight);

    PushButton2->setObjectName(QStringLiteral("PushButton2"));
    PushButton2->setGeometry(436, 78, 136, 20);
    PushButton2->setAutoDefault(false);
    connect(PushButton2, &QPushButton::clicked, this, &WindowPreferences::PushButton2_Action);

    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setGeometry(231, 281, 138, 23);
    PushButton1->setDefault(true); // Return closes the window
    connect(PushButton1, &QPushButton::clicked, this, &QDialog::accept);
}

void WindowPreferences::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    TextField_Log_Path->setText(QDir::toNativeSeparators(logFolder_.readLogFolder()));
}

void WindowPreferences::PushButton2_Action() {
    // The platform's folder dialog. A native one may place itself and leave out the prompt;
    // the captions, the title and the starting folder are always applied.
    QFileDialog dialog(this, tr("Title bar text"), logFolder_.logFolder());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::Accept, tr("Select Folder"));
    dialog.setLabelText(QFileDialog::Reject, tr("Cancel Button"));
    dialog.setLabelText(QFileDialog::LookIn, tr("Select Log Folder"));
    dialog.move(QPoint(50, 50));
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    // A cancelled choice empties the field: the logs then go to Documents.
    TextField_Log_Path->setText(
        chosen ? QDir::toNativeSeparators(QDir::cleanPath(dialog.selectedFiles().constFirst())) : QString());
}

void WindowPreferences::writeLogPathFile() {
    if (!logFolder_.saveLogFolder(TextField_Log_Path->text()))
        logFolder_.notifier().showMessage(saveFailureMessage());
}

void WindowPreferences::done(int result) {
    writeLogPathFile();
    QDialog::done(result);
}

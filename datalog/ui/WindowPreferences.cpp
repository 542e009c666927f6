#include "datalog/ui/WindowPreferences.h"

#include "core/Captions.h"
#include "datalog/FolderChooser.h"
#include "datalog/LogFolderStore.h"
#include "datalog/ui/QtFolderChooser.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

WindowPreferences::WindowPreferences(LogFolderStore& logFolder, QWidget* parent)
    : WindowPreferences(logFolder, static_cast<FolderChooser*>(nullptr), parent) {
    ownFolderChooser_ = std::make_unique<QtFolderChooser>(this);
    folderChooser_ = ownFolderChooser_.get();
}

WindowPreferences::WindowPreferences(LogFolderStore& logFolder, FolderChooser& folderChooser, QWidget* parent)
    : WindowPreferences(logFolder, &folderChooser, parent) {}

WindowPreferences::~WindowPreferences() = default;

WindowPreferences::WindowPreferences(LogFolderStore& logFolder, FolderChooser* folderChooser, QWidget* parent)
    : QDialog(parent)
    , logFolder_(logFolder)
    , folderChooser_(folderChooser)
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
    FolderChooserRequest request;
    request.actionCaption = tr("Select Folder");
    request.cancelCaption = tr("Cancel Button");
    request.title = tr("Title bar text");
    request.prompt = tr("Select Log Folder");
    request.position = QPoint(50, 50);
    request.initialFolder = logFolder_.logFolder();
    const std::optional<QString> chosen = folderChooser_->chooseFolder(request);
    TextField_Log_Path->setText(chosen ? QDir::toNativeSeparators(*chosen) : QString());
}

void WindowPreferences::writeLogPathFile() {
    if (!logFolder_.saveLogFolder(TextField_Log_Path->text()))
        logFolder_.notifier().showMessage(saveFailureMessage());
}

void WindowPreferences::done(int result) {
    writeLogPathFile();
    QDialog::done(result);
}

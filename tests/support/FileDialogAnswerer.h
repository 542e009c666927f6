#pragma once

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// For window tests: answers every real QFileDialog that a test's action opens, as a person
// would. A timer polls for the active modal widget; once a file dialog is up it records what
// the dialog offers, then puts `answer` into the file name field and presses the dialog's Open
// or Save button once the dialog enables it (its folder model loads in the background), or
// presses Escape when `answer` is empty. Polls in real time, every 20 ms.
class FileDialogAnswerer : public QObject {
public:
    // What a dialog showed when it opened.
    struct Offer {
        QString objectName;
        QString title;
        QString folder;   // the folder it opened in
        QString fileName; // the name it suggested, empty when none
        QString acceptLabel;
        QString rejectLabel;
        QString lookInLabel;
        QPoint position;
        QString suggestedPath() const { return QDir(folder).filePath(fileName); }
    };

    explicit FileDialogAnswerer(QString answerWith = QString())
        : answer(std::move(answerWith)) {
        poll_.setInterval(20);
        connect(&poll_, &QTimer::timeout, this, [this] { poll(); });
        poll_.start();
    }

    QString answer;      // the path chosen; empty: the dialog is cancelled
    QList<Offer> offers; // of every dialog answered, in order

private:
    void poll() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (dialog != seen_) {
            seen_ = dialog;
            offers.append(Offer{dialog->objectName(), dialog->windowTitle(),
                                dialog->directory().absolutePath(), edit ? edit->text() : QString(),
                                dialog->labelText(QFileDialog::Accept),
                                dialog->labelText(QFileDialog::Reject),
                                dialog->labelText(QFileDialog::LookIn), dialog->pos()});
        }
        if (answer.isEmpty() || !edit) {
            QTest::keyClick(dialog, Qt::Key_Escape); // a dialog without its name field cannot be answered
            return;
        }
        // Set, not typed: the completer's popup would open over the dialog. Set again at each
        // tick until the dialog takes it, since it leaves a field alone while that has the focus.
        if (edit->text() != answer)
            edit->setText(answer);
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        QPushButton* accept = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
        if (!accept && buttons)
            accept = buttons->button(QDialogButtonBox::Save);
        if (!accept) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        if (!accept->isEnabled()) {
            edit->clear(); // set again on the next tick, when the model may know the path
            return;
        }
        QTest::mouseClick(accept, Qt::LeftButton);
    }

    QTimer poll_;
    QPointer<QFileDialog> seen_;
};

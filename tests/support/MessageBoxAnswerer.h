#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// For window tests: answers every real QMessageBox that a test's action opens. A timer polls
// for the active modal widget; once a message box is up it records the box's text, lets the
// test look at the windows while the box is open, and presses OK (else the first button), so
// the action's exec() returns as it would for a person. Polls in real time, every 10 ms.
class MessageBoxAnswerer : public QObject {
public:
    MessageBoxAnswerer() {
        poll_.setInterval(10);
        connect(&poll_, &QTimer::timeout, this, [this] { answer(); });
        poll_.start();
    }

    QStringList texts;                  // of every box answered, in order
    std::function<void()> whileBoxIsUp; // runs before the box is answered
    // The button pressed when the box has it (Yes to a question), else OK, else the first.
    QMessageBox::StandardButton preferred = QMessageBox::Ok;

private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->buttons().isEmpty())
            return;
        texts.append(box->text());
        if (whileBoxIsUp)
            whileBoxIsUp();
        QAbstractButton* button = box->button(preferred);
        if (!button)
            button = box->button(QMessageBox::Ok);
        QTest::mouseClick(button ? button : box->buttons().first(), Qt::LeftButton);
    }

    QTimer poll_;
};

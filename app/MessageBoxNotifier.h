#pragma once

#include "core/Notifier.h"

class QWidget;

// Modal message boxes with a single button, and the system beep.
class MessageBoxNotifier : public Notifier {
public:
    explicit MessageBoxNotifier(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void showMessage(const QString& text) override;
    void beep() override;

private:
    QWidget* parent_;
};

#pragma once

#include "trends/TrendFileChooser.h"

class QWidget;

// The platform's open and save dialogs.
class QtTrendFileChooser : public TrendFileChooser {
public:
    explicit QtTrendFileChooser(QWidget* parent = nullptr)
        : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QString chooseLog(const QString& folder) override;
    QString chooseExport(const QString& suggestedPath, const QString& filter) override;

private:
    QWidget* parent_;
};

#pragma once

#include "core/ControlsState.h"

#include <QWidget>

// A borderless rectangle behind a measurement row; its fill turns red while the row's
// alert holds and is fully transparent otherwise, so only the row's labels show.
class AlertRectangle : public QWidget {
    Q_OBJECT
public:
    explicit AlertRectangle(QWidget* parent = nullptr)
        : QWidget(parent) {}

    void setFill(AlertFill fill);
    AlertFill fill() const { return fill_; }
    static QColor colour(AlertFill fill);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AlertFill fill_ = AlertFill::Transparent;
};

#include "app/AlertRectangle.h"

#include <QPainter>

QColor AlertRectangle::colour(AlertFill fill) {
    switch (fill) {
    case AlertFill::AlertRed:
        return QColor(0xFB, 0x01, 0x06);
    case AlertFill::DarkRed:
        return QColor(0x80, 0x00, 0x02);
    case AlertFill::Transparent:
        break;
    }
    return QColor(0, 0, 0, 0);
}

void AlertRectangle::setFill(AlertFill fill) {
    if (fill == fill_)
        return;
    fill_ = fill;
    update();
}

void AlertRectangle::paintEvent(QPaintEvent*) {
    if (fill_ == AlertFill::Transparent)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), colour(fill_));
}

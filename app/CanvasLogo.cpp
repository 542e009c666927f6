#include "app/CanvasLogo.h"

#include <QPainter>

#include <algorithm>

CanvasLogo::CanvasLogo(const QImage& logo, QWidget* parent)
    : QWidget(parent)
    , logo_(logo) {
    setFocusPolicy(Qt::NoFocus);
}

QRectF CanvasLogo::logoRect(const QSizeF& canvas, const QSizeF& picture) {
    if (picture.width() <= 0 || picture.height() <= 0)
        return QRectF();
    const double s = std::min(canvas.height() / picture.height(), canvas.width() / picture.width());
    const double x = canvas.width() / 2 - (picture.width() * s) / 2;
    return QRectF(x, 0, picture.width() * s, picture.height() * s);
}

void CanvasLogo::paintEvent(QPaintEvent*) {
    if (logo_.isNull())
        return; // a picture that could not be loaded leaves the area empty
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(logoRect(size(), logo_.size()), logo_);
}

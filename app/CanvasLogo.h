#pragma once

#include <QImage>
#include <QWidget>

// CanvasLogo: the logo picture "DariVozirovavavavover", kept in proportion, fitted into
// the canvas, centred horizontally and touching the top edge.
class CanvasLogo : public QWidget {
    Q_OBJECT
public:
    CanvasLogo(const QImage& logo, QWidget* parent = nullptr);

    // Where a picture of the given size is drawn in a canvas of the given size: scale
    // s = min(H / h, W / w), left edge W / 2 - w s / 2, top edge 0. Empty for an empty picture.
    static QRectF logoRect(const QSizeF& canvas, const QSizeF& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& logo_;
};

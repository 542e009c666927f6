#include "app/PaneBackdrop.h"

#include <QEvent>
#include <QPalette>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QTabWidget>

PaneBackdrop::PaneBackdrop(QTabWidget* tabs, QWidget* page)
    : QObject(page)
    , tabs_(tabs)
    , page_(page) {
    tabs_->installEventFilter(this);
    page_->installEventFilter(this);
    copyPane();
}

bool PaneBackdrop::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((watched == page_ && (type == QEvent::Resize || type == QEvent::Move)) ||
        (watched == tabs_ &&
         (type == QEvent::Resize || type == QEvent::PaletteChange || type == QEvent::StyleChange)))
        copyPane();
    return QObject::eventFilter(watched, event);
}

void PaneBackdrop::copyPane() {
    // Rendering delivers the widgets' pending moves and resizes, which ask for a copy again.
    if (copying_ || page_->size().isEmpty() || tabs_->size().isEmpty())
        return;
    const QScopedValueRollback<bool> copying(copying_, true);
    const qreal ratio = tabs_->devicePixelRatioF();
    QPixmap beneath(tabs_->size() * ratio);
    beneath.setDevicePixelRatio(ratio);
    // The tab widget's own painting over the window's background; its pages and tab bar left out.
    tabs_->render(&beneath, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    const QRect area(page_->mapTo(tabs_, QPoint(0, 0)) * ratio, page_->size() * ratio);
    QPixmap copy = beneath.copy(area);
    copy.setDevicePixelRatio(ratio);
    // The brush keeps the window colour too: controls that tell a dark appearance read it.
    QPalette palette = page_->palette();
    palette.setBrush(QPalette::Window, QBrush(tabs_->palette().color(QPalette::Window), copy));
    page_->setPalette(palette);
    page_->setAutoFillBackground(true);
}

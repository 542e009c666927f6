#include "app/DriverLinkLabel.h"

#include "app/LinkOpener.h"
#include "core/Captions.h"

#include <QMouseEvent>

const char* const DriverLinkLabel::kDriverPage = "https://ftdichip.com/drivers/vcp-drivers/";

DriverLinkLabel::DriverLinkLabel(LinkOpener& browser, std::function<bool()> isConnected, QWidget* parent)
    : QLabel(parent)
    , browser_(browser)
    , isConnected_(std::move(isConnected)) {
    setText(App::text(App::Caption::kSerialPort));
    setToolTip(App::text(App::Caption::kSerialPortTip));
}

void DriverLinkLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    if (isConnected_())
        return;
    setText(App::text(App::Caption::kDriverLink));
    setTextColour(QColor(0x5A, 0x91, 0xA8));
}

void DriverLinkLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    if (isConnected_())
        return;
    setText(App::text(App::Caption::kSerialPort));
    showPaletteTextColour();
}

void DriverLinkLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    browser_.open(QUrl(QString::fromLatin1(kDriverPage)));
}

void DriverLinkLabel::showPaletteTextColour() {
    // The window's own text colour: black in a light appearance, light in a dark one, and it
    // follows a change of appearance while the program runs.
    setPalette(QPalette());
}

void DriverLinkLabel::setTextColour(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

#pragma once

#include <QLabel>

#include <functional>

class LinkOpener;

// Label1, "Serial Port :", which doubles as a link to the FTDI virtual COM port driver
// page: while disconnected the pointer over it turns it into "Drivers…" in the main
// colour; a press opens the page whatever the connection state. "Serial Port :" is written
// in the window's text colour (black in a light appearance), so it stays readable in a dark one.
class DriverLinkLabel : public QLabel {
    Q_OBJECT
public:
    static const char* const kDriverPage;

    DriverLinkLabel(LinkOpener& browser, std::function<bool()> isConnected, QWidget* parent = nullptr);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void setTextColour(const QColor& colour);
    void showPaletteTextColour();

    LinkOpener& browser_;
    std::function<bool()> isConnected_;
};

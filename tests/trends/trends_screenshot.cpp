// Renders the trends window headless after ten minutes of a working installation, fed
// through the test doubles as the line would feed them (the converter silent for half a
// minute, the HPU pumping to follow the speed), and saves it as a PNG.
//   QT_QPA_PLATFORM=offscreen velmora_trends_screenshot docs/trends-window.png
#include "TestPlatform.h"

#include "NoBrowser.h"
#include "app/LinkOpener.h"
#include "app/WindowMain.h"
#include "link/Frame.h"
#include "trends/ui/TrendsWindow.h"

#include <QApplication>
#include <QTest>

#include <cmath>
#include <cstdio>

namespace {

void put16(QByteArray& frame, int value) {
    frame.append(char((value >> 8) & 0xFF));
    frame.append(char(value & 0xFF));
}

// Version 2 converter frame.
QByteArray converterFrame(double inputV, double outputV, double outputA, double temperature, double rpm) {
    QByteArray f = QByteArray::fromHex("00011010");
    put16(f, int(std::lround(inputV * 10)));
    put16(f, int(std::lround(outputV * 1000)));
    put16(f, int(std::lround(outputA * 1000)));
    put16(f, 0);
    put16(f, int(std::lround(temperature * 10)));
    put16(f, int(std::lround(rpm / 1.5)));
    put16(f, 0);
    return Frame::withChecksum(f);
}

QByteArray hpuFrame(double bar, bool pumping) {
    QByteArray f = QByteArray::fromHex("00121007");
    put16(f, int(std::lround(bar * 100)));
    f.append(char(0xFF));
    f.append(char(pumping ? 0xF0 : 0x00));
    f.append(char(0x01));
    return Frame::withChecksum(f);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    TestPlatform tp;
    tp.timeline.setWallClock(QDateTime(QDate(2026, 6, 21), QTime(14, 0, 0)));
    NoBrowser browser;
    WindowMain window(tp.platform(), browser);
    tp.devices.setNames({QStringLiteral("cu.usbserial-FT4ZQ1A7")});
    tp.timeline.advance(500);
    window.monitor().ConnectButton_Action();

    // Ten minutes: a gust lifts the speed and the input voltage past its 53 V alarm; the
    // converter is silent from 6:00 to 6:30.
    for (int step = 0; step < 10 * 60 * 2; ++step) {
        const double t = step / 2.0;
        const double gust = std::exp(-std::pow((t - 240) / 45, 2));
        const double rpm = 1450 + 60 * std::sin(t / 23) + 900 * gust;
        const double inputV = 46 + rpm / 400 + 0.4 * std::sin(t / 7);
        const double outputV = 27.2 + 0.15 * std::sin(t / 11);
        const double outputA = 4.2 + 2.4 * gust + 0.3 * std::sin(t / 17);
        const double temperature = 34 + 9 * (1 - std::exp(-t / 200)) + 6 * gust;
        if (t < 360 || t >= 390)
            tp.port.feed(converterFrame(inputV, outputV, outputA, temperature, rpm));
        tp.timeline.advance(20);
        tp.port.feed(hpuFrame(1.6 + 2.6 * gust + 0.15 * std::sin(t / 5), gust > 0.3));
        tp.timeline.advance(480);
    }

    TrendsWindow* trends = window.showTrendsWindow();
    trends->resize(900, 860);
    if (!QTest::qWaitForWindowExposed(trends))
        return 1;
    QApplication::processEvents();
    if (!trends->grab().toImage().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

// Renders the main window headless with live values, the gauge and an alarm row, fed
// through the test doubles exactly as the line would feed them, and saves it as a PNG.
//   QT_QPA_PLATFORM=offscreen velmora_screenshot docs/main-window.png [raw-stream.png]
// The second, optional file shows the raw-stream page after the same frames.
#include "Hex.h"
#include "TestPlatform.h"

#include "NoBrowser.h"
#include "app/LinkOpener.h"
#include "app/WindowMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <cstdio>

namespace {

bool save(QWidget& window, const char* path) {
    if (window.grab().toImage().save(QString::fromLocal8Bit(path)))
        return true;
    std::fprintf(stderr, "cannot write %s\n", path);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [RAW_STREAM.png]\n", argv[0]);
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    TestPlatform tp;
    for (const char* name : {"Moyeu2.png", "DariVozirovavavavover.png"})
        QFile::copy(QStringLiteral(VELMORA_RESOURCES_DIR "/") + QLatin1String(name),
                    tp.resources.filePath(QLatin1String(name)));
    NoBrowser browser;
    WindowMain window(tp.platform(), browser);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    tp.devices.setNames({QStringLiteral("cu.usbserial-FT4ZQ1A7")});
    tp.timeline.advance(500);
    window.findChild<QPushButton*>(QStringLiteral("ConnectButton"))->click();
    tp.timeline.advance(300); // the design-time alert fills clear

    // A few seconds of line: HPU status frames at a rising pressure, converter frames;
    // the last converter frame reports 57.3 V in, above the 53.0 V threshold.
    const char* const line[] = {
        "00 12 10 07 00 C8 FF 00 01 01 F1", // 2.00 bar, Auto, inactive
        "00 01 10 10 01 E0 5D C0 09 C4 00 00 01 5E 03 E8 00 00 04 36",
        "00 12 10 07 01 18 FF F0 01 02 32", // 2.80 bar, pump active
        "00 12 10 07 01 40 FF F0 01 02 5A", // 3.20 bar
        "00 12 10 07 01 40 FF F0 01 02 5A",
        "00 01 10 10 02 3D 5E 10 0A 28 00 00 01 A9 05 DC 00 00 02 8B",
    };
    for (const char* frame : line) {
        tp.port.feed(hexBytes(frame));
        tp.timeline.advance(10);
        QApplication::processEvents(); // one gauge paint per HPU frame
    }

    if (!save(window, argv[1]))
        return 1;
    if (argc == 3) {
        window.findChild<QTabWidget*>(QStringLiteral("TabPanel1"))->setCurrentIndex(1);
        for (const char* frame : line) {
            tp.port.feed(hexBytes(frame));
            tp.timeline.advance(10);
        }
        if (!save(window, argv[2]))
            return 1;
    }
    return 0;
}

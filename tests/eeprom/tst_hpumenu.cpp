#include "EepromTestDoubles.h"
#include "NoBrowser.h"
#include "TestPlatform.h"
#include "app/LinkOpener.h"
#include "app/MainMenuBar.h"
#include "app/WindowMain.h"
#include "eeprom/ui/WindowHPU.h"

#include <QApplication>
#include <QProgressBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

const char* const kConverterFrame = "00 01 10 10 01 E0 5D C0 03 E8 00 00 00 FA 03 E8 00 00 04 EF";

} // namespace

// HPU > EEPROM in the main window: "HPU EEPROM" shown modally, its exchange carried by the
// main window's link while it is open.
class TestHpuMenu : public QObject {
    Q_OBJECT
private slots:
    void eepromItemShowsWindowHPUOnTheMainWindowsLink() {
        TestPlatform tp;
        NoBrowser browser;
        WindowMain window(tp.platform(), browser);
        window.show();
        tp.devices.setNames({QStringLiteral("ttyUSB0")});
        tp.timeline.advance(500);
        window.monitor().ConnectButton_Action();
        QVERIFY(tp.port.isOpen());

        bool sawWindow = false;
        bool modal = false;
        QStringList written;
        QString row1Value;
        bool enabled = false;
        int bar = -1;
        QTimer::singleShot(0, [&] {
            auto* hpu = qobject_cast<WindowHPU*>(QApplication::activeModalWidget());
            if (!hpu)
                return;
            sawWindow = true;
            modal = hpu->windowModality() != Qt::NonModal;
            // The converter opens the emission gap; the request goes out 150 ms later.
            tp.port.feed(hexBytes(kConverterFrame));
            tp.timeline.advance(200);
            for (const QByteArray& bytes : tp.port.writes)
                written.append(hexString(bytes));
            tp.port.feed(defaultsReadAnswer());
            tp.timeline.advance(800); // the first tick of Timer1
            row1Value = hpu->Listbox_EEPROM()->item(1, kColRealValue)->text();
            enabled = hpu->Listbox_EEPROM()->isEnabled();
            bar = hpu->ProgressBar1()->value();
            hpu->close();
        });
        window.mainMenuBar()->itemNamed(QStringLiteral("HPUEEPROM"))->trigger(); // returns once closed

        QVERIFY(sawWindow);
        QVERIFY(modal);
        QCOMPARE(written, QStringList{QStringLiteral("12 11 4C 02 00 71")});
        QVERIFY(enabled);
        QCOMPARE(bar, 100);
        QCOMPARE(row1Value, QLocale().toString(8.0, 'f', 2) + QStringLiteral(" [bar]"));
        // Closed: nothing more is asked.
        tp.port.feed(hexBytes(kConverterFrame));
        tp.timeline.advance(2000);
        QCOMPARE(tp.port.writes.size(), 1);
    }
};

QTEST_MAIN(TestHpuMenu)
#include "tst_hpumenu.moc"

// File > Record bus...: the real save dialog answered by a timer, the capture running while
// the item is ticked, stopped by choosing it again; a cancelled dialog records nothing.
#include "FileDialogAnswerer.h"
#include "Files.h"
#include "Hex.h"
#include "NoBrowser.h"
#include "TestPlatform.h"
#include "app/LinkOpener.h"
#include "app/MainMenuBar.h"
#include "app/WindowMain.h"
#include "datalog/CaptureReader.h"

#include <QDir>
#include <QTest>

class TestRecordBus : public QObject {
    Q_OBJECT
private slots:
    void recordsFromTheMenuUntilChosenAgain() {
        TestPlatform platform;
        NoBrowser browser;
        WindowMain window(platform.platform(), browser);
        window.show();
        QAction* item = window.mainMenuBar()->itemNamed(QStringLiteral("FileRecordBus"));
        QVERIFY(item->isCheckable());
        QVERIFY(!item->isChecked());
        platform.devices.setNames({QStringLiteral("cu.usbserial-FT4ABCDE")});
        platform.timeline.advance(500);
        window.monitor().ConnectButton_Action();

        const QString path = platform.dir.filePath(QStringLiteral("Documents/bus.txt"));
        QDir().mkpath(platform.dir.filePath(QStringLiteral("Documents")));
        FileDialogAnswerer dialogs(path);
        item->trigger(); // the dialog's exec() returns once the timer has answered it
        QCOMPARE(dialogs.offers.size(), 1);
        QCOMPARE(dialogs.offers.first().objectName, QStringLiteral("RecordBusDialog"));
        QVERIFY(item->isChecked());
        QVERIFY(window.busRecorder().isRecording());
        QCOMPARE(window.busRecorder().path(), path);

        platform.port.feed(hexBytes("00 01 10 10 01 E0 5D C0 09 C4 00 00 01 5E 03 E8 00 00 04 36"));
        platform.timeline.advance(100);
        item->trigger();
        QVERIFY(!item->isChecked());
        QVERIFY(!window.busRecorder().isRecording());
        CaptureReader reader;
        QVERIFY2(reader.open(path), qPrintable(reader.errorString()));
        QCOMPARE(reader.chunkCount(), 1);
        QVERIFY(platform.notifier.messages.isEmpty());
    }

    void cancelledDialogRecordsNothing() {
        TestPlatform platform;
        NoBrowser browser;
        WindowMain window(platform.platform(), browser);
        window.show();
        QAction* item = window.mainMenuBar()->itemNamed(QStringLiteral("FileRecordBus"));
        FileDialogAnswerer dialogs; // cancelled
        item->trigger();
        QCOMPARE(dialogs.offers.size(), 1);
        QCOMPARE(dialogs.offers.first().objectName, QStringLiteral("RecordBusDialog"));
        QVERIFY(!item->isChecked());
        QVERIFY(!window.busRecorder().isRecording());
        QVERIFY(platform.notifier.messages.isEmpty());
    }

    // The capture stops on its own (here at its limit): the item unticks with it.
    void itemUnticksWhenTheCaptureStopsOnItsOwn() {
        TestPlatform platform;
        NoBrowser browser;
        WindowMain window(platform.platform(), browser);
        window.setRecordLimit(1024);
        QAction* item = window.mainMenuBar()->itemNamed(QStringLiteral("FileRecordBus"));
        platform.devices.setNames({QStringLiteral("cu.usbserial-FT4ABCDE")});
        platform.timeline.advance(500);
        window.monitor().ConnectButton_Action();
        const QString path = platform.dir.filePath(QStringLiteral("limited.txt"));
        FileDialogAnswerer dialogs(path);
        item->trigger();
        QCOMPARE(dialogs.offers.size(), 1);
        QVERIFY(item->isChecked());
        for (int i = 0; i < 40; ++i) {
            platform.port.feed(hexBytes("00 01 10 10 01 E0 5D C0 09 C4 00 00 01 5E 03 E8 00 00 04 36"));
            platform.timeline.advance(100);
        }
        QVERIFY(!item->isChecked());
        QCOMPARE(platform.notifier.messages, QStringList{CaptureWriter::limitMessage(path, 1024)});
        QVERIFY(window.monitor().state().U_in == 48.0);
    }
};

QTEST_MAIN(TestRecordBus)
#include "tst_recordbus.moc"

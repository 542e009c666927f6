// File > Record bus...: the real save dialog answered by a timer, the capture running while
// the item is ticked, stopped by choosing it again; a cancelled dialog records nothing.
#include "Files.h"
#include "Hex.h"
#include "NoBrowser.h"
#include "TestPlatform.h"
#include "app/LinkOpener.h"
#include "app/MainMenuBar.h"
#include "app/WindowMain.h"
#include "datalog/CaptureReader.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Waits for the save dialog, then types the file name and presses Save once the dialog
// enables it (its folder model loads in the background), or presses Escape.
// The polling ends with the window that owns it.
void answerSaveDialogWhenItOpens(QObject* owner, const QString& fileName, bool* seen) {
    auto* poll = new QTimer(owner);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [fileName, seen] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        *seen = dialog->objectName() == QLatin1String("RecordBusDialog");
        if (fileName.isEmpty()) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit->text() != fileName) {
            edit->clear();
            QTest::keyClicks(edit, fileName);
        }
        QPushButton* save =
            dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Save);
        if (save->isEnabled())
            QTest::mouseClick(save, Qt::LeftButton);
    });
    poll->start();
}

} // namespace

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
        bool seen = false;
        answerSaveDialogWhenItOpens(&window, path, &seen);
        item->trigger(); // the dialog's exec() returns once the timer has answered it
        QVERIFY(seen);
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
        bool seen = false;
        answerSaveDialogWhenItOpens(&window, QString(), &seen);
        item->trigger();
        QVERIFY(seen);
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
        bool seen = false;
        answerSaveDialogWhenItOpens(&window, path, &seen);
        item->trigger();
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

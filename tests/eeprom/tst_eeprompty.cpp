// The EEPROM window on the real serial port, with the simulated installation on a
// pseudo-terminal that can be pulled and plugged back, its questions in real message boxes.
// The converter keeps broadcasting throughout, so a request left in the outgoing slot would
// leave at its next quiet gap. Every wait is bounded.
#include "EepromTestDoubles.h"
#include "FileDialogAnswerer.h"
#include "MessageBoxAnswerer.h"
#include "PtyInstallation.h"
#include "RealSerialPlatform.h"
#include "eeprom/EepromBackup.h"
#include "eeprom/ui/MessageBoxEepromPrompts.h"
#include "eeprom/ui/WindowHPU.h"
#include "link/Frame.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorEepromLink.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray kWriteRequest = QByteArray::fromHex("121145");
const QByteArray kReadRequest = QByteArray::fromHex("12114C");

// The main window's monitor on the real serial port, connected to the installation, and the
// EEPROM window opened over it as HPU > EEPROM opens it.
struct OnThePty {
    QTemporaryDir dir;
    QString device = dir.filePath(QStringLiteral("ttyVELMORA"));
    PtyInstallation installation{device};
    RealSerialPlatform desktop{device, dir.path()};
    Monitor monitor{desktop.platform()};
    std::unique_ptr<MonitorEepromLink> link;
    std::unique_ptr<MessageBoxEepromPrompts> prompts;
    std::unique_ptr<WindowHPU> window;

    OnThePty() {
        QVERIFY(installation.plug());
        QTRY_VERIFY_WITH_TIMEOUT(monitor.controls().SerialPortsPopupMenu_rows.contains(device), 3000);
        monitor.SerialPortsPopupMenu_SelectionChanged(
            int(monitor.controls().SerialPortsPopupMenu_rows.indexOf(device)));
        monitor.ConnectButton_Action();
        QVERIFY2(monitor.isLineUp(), qPrintable(desktop.notifier.messages.join('\n')));
        QTRY_VERIFY_WITH_TIMEOUT(monitor.state().timeLastDataCV > 0, 3000);
    }
    ~OnThePty() {
        window.reset();
        monitor.close();
    }

    WindowHPU& open() {
        window.reset();
        link = std::make_unique<MonitorEepromLink>(monitor);
        prompts = std::make_unique<MessageBoxEepromPrompts>();
        window = std::make_unique<WindowHPU>(*link, desktop.timers, *prompts);
        prompts->setParent(window.get());
        window->editor().setLocale(QLocale::c());
        window->show();
        return *window;
    }
    // Opens the window and waits for the HPU's values.
    WindowHPU& openRead() {
        WindowHPU& w = open();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(w.Listbox_EEPROM()->isEnabled(), 5000); }();
        return w;
    }
    QString value(int row) const { return window->Listbox_EEPROM()->item(row, kColValue)->text(); }
    QString status() const { return window->statusLine()->text(); }
    // Converter frames still arrive: the line is alive, so a pending command would have left.
    bool converterHeardFor(int ms) {
        const qint64 before = monitor.state().timeLastDataCV;
        QTest::qWait(ms);
        return monitor.state().timeLastDataCV > before;
    }
    int writesFromTool() const { return int(installation.bytesFromTool.count(kWriteRequest)); }
};

// A read answer that announces and carries only the first 23 payload bytes (addresses 29
// to 43), with a valid checksum.
QByteArray shortened(const QByteArray& frame) {
    if (!frame.startsWith(QByteArray::fromHex("00124C")))
        return frame;
    QByteArray shortAnswer = frame.left(4 + 23);
    shortAnswer[3] = char(23 + 2);
    return Frame::withChecksum(shortAnswer);
}

} // namespace

class TestEepromPty : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Nothing is decoded from a short answer, in this opening or the next.
    void shortAnswerIsNeverShown() {
        OnThePty p;
        p.installation.rewrite = shortened;
        WindowHPU& w = p.open();
        QTRY_VERIFY_WITH_TIMEOUT(
            p.monitor.trace().text().contains(QStringLiteral("envoi EEPROM incomplet\n")), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(p.status(),
                                  QStringLiteral("The HPU's answer was incomplete: asking again…"), 3000);
        QVERIFY(!p.monitor.trace().text().contains(QStringLiteral("envoi EEPROM valide")));
        QVERIFY(!w.Listbox_EEPROM()->isEnabled());
        QCOMPARE(p.value(15), QString()); // "Delay time before releasing if RPM=0"
        QVERIFY(!w.editor().canSave());
        const int reads = int(p.installation.bytesFromTool.count(kReadRequest));
        QTest::qWait(1200);
        QVERIFY(p.installation.bytesFromTool.count(kReadRequest) > reads); // it asks again

        // The whole answer is shown once it comes.
        p.installation.rewrite = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(w.Listbox_EEPROM()->isEnabled(), 5000);
        QCOMPARE(p.value(15), QStringLiteral("4000"));
        QCOMPARE(p.value(16), QStringLiteral("15000"));
        QCOMPARE(p.status(), QString());
        w.close();

        // Opened again with short answers: the last opening's values are not the HPU's now.
        p.installation.rewrite = shortened;
        WindowHPU& again = p.open();
        QTest::qWait(2500);
        QVERIFY(!again.Listbox_EEPROM()->isEnabled());
        QCOMPARE(p.value(15), QString());
        QCOMPARE(p.value(1), QString());
        QCOMPARE(p.status(), QStringLiteral("The HPU's answer was incomplete: asking again…"));
        QCOMPARE(p.writesFromTool(), 0);
    }

    // Escape while the first parameter of a restore waits for its acknowledgement.
    void escapeDuringARestoreTellsTheAccountThenCloses() {
        OnThePty p;
        WindowHPU& w = p.openRead();
        EepromBackup file = w.editor().backup(QStringLiteral("2.3.3"), QDateTime::currentDateTimeUtc());
        for (EepromBackupParameter& parameter : file.parameters) {
            if (parameter.address == 30)
                parameter.raw = 700; // Max pressure
            if (parameter.address == 31)
                parameter.raw = 60; // Min pressure
        }
        QVERIFY(w.editor().compareWith(file));
        p.installation.deafToWrites = true;
        {
            MessageBoxAnswerer yes;
            yes.preferred = QMessageBox::Yes;
            QTest::mouseClick(w.writeDifferencesButton(), Qt::LeftButton);
            QCOMPARE(yes.texts.size(), 1);
        }
        QVERIFY(w.editor().isRestoring());
        QTRY_VERIFY_WITH_TIMEOUT(p.writesFromTool() >= 1, 3000); // on the line, unanswered

        MessageBoxAnswerer account;
        bool shownWhileOpen = false;
        account.whileBoxIsUp = [&] { shownWhileOpen = w.isVisible(); };
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible()); // not before the account
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), HpuEepromEditor::kCancelReadBackMs + 3000);
        QVERIFY(shownWhileOpen);
        QCOMPARE(account.texts.size(), 1);
        const QString report = account.texts[0];
        QVERIFY2(report.startsWith(QStringLiteral("Restore cancelled.")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("Written and read back: none.")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("Not written: \"Max pressure\", \"Min pressure\".")),
                 qPrintable(report));

        // The second parameter never went out, and nothing goes out after the window closed.
        QVERIFY(p.installation.bytesFromTool.contains(QByteArray::fromHex("121145051e02bc")));
        QVERIFY(!p.installation.bytesFromTool.contains(QByteArray::fromHex("121145051f")));
        const QByteArray before = p.installation.bytesFromTool;
        QVERIFY(p.converterHeardFor(2000));
        QCOMPARE(p.installation.bytesFromTool, before);
        QCOMPARE(p.installation.eeprom().value(30), 800);
        QCOMPARE(p.installation.eeprom().value(31), 50);
    }

    // A pull while a write waits, the window closed, the adapter back: nothing of it leaves.
    void writeDoesNotOutliveItsWindow() {
        OnThePty p;
        WindowHPU& w = p.openRead();
        p.installation.deafToWrites = true;
        QVERIFY(w.editor().Listbox_EEPROM_CellAction(4, QStringLiteral("210"))); // address 34
        QTRY_VERIFY_WITH_TIMEOUT(
            p.installation.bytesFromTool.contains(QByteArray::fromHex("121145052200d20161")), 3000);

        p.installation.pull();
        QTRY_VERIFY_WITH_TIMEOUT(!p.monitor.isLineUp(), 3000);
        QVERIFY(p.monitor.isConnected()); // being reopened
        QTRY_COMPARE_WITH_TIMEOUT(
            p.status(),
            QStringLiteral("Waiting for the connection: \"Min generator voltage\" is not "
                           "written yet."),
            2000);

        MessageBoxAnswerer account;
        w.close();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 3000);
        QCOMPARE(account.texts.size(), 1);
        QVERIFY2(account.texts[0].startsWith(
                     QStringLiteral("Cancelled: \"Min generator voltage\" is not confirmed")),
                 qPrintable(account.texts[0]));

        const qsizetype sentBeforePlug = p.installation.bytesFromTool.size();
        QVERIFY(p.installation.plug());
        QTRY_VERIFY_WITH_TIMEOUT(p.monitor.isLineUp(), 5000);
        QVERIFY(p.converterHeardFor(2500));
        const QByteArray afterPlug = p.installation.bytesFromTool.mid(sentBeforePlug);
        QVERIFY2(!afterPlug.contains(kWriteRequest), afterPlug.toHex(' ').constData());
        QVERIFY2(!afterPlug.contains(kReadRequest), afterPlug.toHex(' ').constData());
    }

    // The HPU acknowledges but keeps its old value: the window says so and writes no more.
    void readBackThatKeptTheOldValueIsTold() {
        OnThePty p;
        WindowHPU& w = p.openRead();
        p.installation.keepsOldValues = true;
        MessageBoxAnswerer told;
        QVERIFY(w.editor().Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        QTRY_COMPARE_WITH_TIMEOUT(told.texts.size(), 1, 6000);
        QCOMPARE(told.texts[0], QStringLiteral("\"Max generator voltage\" written, but the HPU holds 500."));
        QCOMPARE(p.status(), told.texts[0]);
        QVERIFY(w.Listbox_EEPROM()->isEnabled());
        QCOMPARE(p.value(3), QStringLiteral("500"));
        QVERIFY(!w.Listbox_EEPROM()->item(3, kColValue)->font().bold());
        QCOMPARE(p.installation.eeprom().value(33), 500);
        const int writes = p.writesFromTool();
        QVERIFY(writes >= 1);
        QVERIFY(p.converterHeardFor(2000));
        QCOMPARE(p.writesFromTool(), writes);
        QVERIFY(w.isVisible());
    }

    // A backup whose entry at one address names another parameter is refused whole.
    void backupNamingAnotherParameterIsRefused() {
        OnThePty p;
        WindowHPU& w = p.openRead();
        EepromBackup file = w.editor().backup(QStringLiteral("2.3.3"), QDateTime::currentDateTimeUtc());
        for (EepromBackupParameter& parameter : file.parameters)
            if (parameter.address == 30) {
                parameter.identifier = QStringLiteral("PRESSION_MIN");
                parameter.raw = 50;
            }
        const QString path = p.dir.filePath(QStringLiteral("HPU_42.json"));
        QCOMPARE(writeEepromBackupFile(path, file), QString());
        w.setBackups(p.desktop.wallClock, p.dir.path());
        FileDialogAnswerer chosen(path);
        MessageBoxAnswerer refused;
        QTest::mouseClick(w.loadButton(), Qt::LeftButton);
        QCOMPARE(chosen.offers.size(), 1);
        QCOMPARE(refused.texts,
                 QStringList{QStringLiteral(
                     "Entry 2 of the file (address 30) is PRESSION_MIN in \"0.01 bar\", but address 30 holds "
                     "PRESSION_MAX in \"0.01 bar\".\nNothing was sent to the HPU.")});
        QVERIFY(!w.editor().listModel().comparing);
        QVERIFY(w.Listbox_EEPROM()->isColumnHidden(WindowHPU::kColFileValue));
    }
};

QTEST_MAIN(TestEepromPty)
#include "tst_eeprompty.moc"

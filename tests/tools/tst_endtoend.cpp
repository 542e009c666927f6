// End to end: velmora-sim on a pseudo-terminal and the main window, in this process, connected
// to it through the real serial port, timers and clocks. Every wait is bounded.
#include "RealSerialPlatform.h"
#include "SimulatorProcess.h"
#include "app/LinkOpener.h"
#include "app/WindowMain.h"
#include "core/NumberMask.h"
#include "eeprom/EepromCatalogue.h"
#include "eeprom/EepromPrompts.h"
#include "eeprom/ui/WindowHPU.h"
#include "link/QtSerialPort.h"
#include "monitor/MonitorEepromLink.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

class NoQuestions : public EepromPrompts {
public:
    void refuse(const QString& message) override { refusals.append(message); }
    bool confirm(const QString&) override { return false; }
    void inform(const QString&) override {}
    QStringList refusals;
};

// The Value cell of the EEPROM list row holding this address.
QString eepromValue(const QTableWidget* list, int address) {
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->item(row, kColAddress)->text() == QString::number(address))
            return list->item(row, kColValue)->text();
    return QString();
}

int eepromRow(const QTableWidget* list, int address) {
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->item(row, kColAddress)->text() == QString::number(address))
            return row;
    return -1;
}

// Lines of every CSV log file in the folder.
int logLines(const QString& folder) {
    int lines = 0;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.csv")}, QDir::Files);
    for (const QString& name : files) {
        QFile file(QDir(folder).filePath(name));
        if (file.open(QIODevice::ReadOnly))
            lines += int(file.readAll().count('\n'));
    }
    return lines;
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void theToolRunsTheSimulatedInstallation();
};

void TestEndToEnd::theToolRunsTheSimulatedInstallation() {
    SimulatorProcess sim(QStringLiteral(VELMORA_SIM_PATH));
    QVERIFY2(!sim.devicePath.isEmpty(), qPrintable(sim.output));

    // The desktop platform, except for the dialogs, the sound and the folders.
    QTemporaryDir dir;
    RealSerialPlatform desktop(sim.devicePath, dir.path());
    WindowMain window(desktop.platform(), desktop.browser);
    window.show();
    Monitor& monitor = window.monitor();
    const auto control = [&](const char* name) {
        return window.findChild<QWidget*>(QString::fromLatin1(name));
    };
    auto* list = qobject_cast<QComboBox*>(control("SerialPortsPopupMenu"));
    auto* connectButton = qobject_cast<QPushButton*>(control("ConnectButton"));

    // The pseudo-terminal is listed last and selected by the first refresh.
    QTRY_COMPARE_WITH_TIMEOUT(list->currentText(), sim.devicePath, 3000);
    QTest::mouseClick(connectButton, Qt::LeftButton);
    QVERIFY2(monitor.isConnected(), qPrintable(desktop.notifier.messages.join('\n')));

    // Values and the gauge appear.
    auto* inputVoltage = qobject_cast<QLabel*>(control("LabelValue_Uin"));
    auto* pressure = qobject_cast<QLabel*>(control("LabelValue_Pression"));
    QTRY_VERIFY_WITH_TIMEOUT(!pressure->isHidden() && !control("CanvasProp")->isHidden(), 5000);
    QCOMPARE(pressure->text(), formatMask(2.5, "0.00", QLocale()));
    QTRY_VERIFY_WITH_TIMEOUT(inputVoltage->text().toDouble() >= 45.0, 3000);
    QVERIFY2(inputVoltage->text().toDouble() <= 50.0, qPrintable(inputVoltage->text()));
    QCOMPARE(monitor.state().ProtocoleVersion, QStringLiteral("V2"));

    // A pump press reaches the HPU in the quiet gap after a converter frame. On a busy machine
    // one late wake-up of either process can shift one measurement by a frame period, so
    // up to three presses are measured and one must land in the window.
    auto* pump = qobject_cast<QPushButton*>(control("PompeButton"));
    QVERIFY(!pump->isHidden());
    QStringList delays;
    bool inQuietGap = false;
    for (int attempt = 0; attempt < 3 && !inQuietGap; ++attempt) {
        QTest::mouseClick(pump, Qt::LeftButton);
        const auto pumped =
            sim.waitFor(QRegularExpression(
                            QStringLiteral("\\+(\\d+) ms after converter frame: 12 11 48 02 00 6D  pump\\n")),
                        3000);
        QVERIFY2(pumped.hasMatch(), qPrintable(sim.output));
        const int delay = pumped.captured(1).toInt();
        delays << QString::number(delay);
        inQuietGap = delay >= 140 && delay <= 400;
    }
    QVERIFY2(inQuietGap,
             qPrintable(QStringLiteral("delays after the converter frame: ") + delays.join(", ")));
    QTRY_VERIFY_WITH_TIMEOUT(monitor.state().Pression > 2.5, 3000);

    // The EEPROM window, over the main window's link: the read fills the list, a write of
    // one parameter is acknowledged and read back.
    MonitorEepromLink eepromLink(monitor);
    NoQuestions prompts;
    WindowHPU hpuWindow(eepromLink, desktop.timers, prompts, &window);
    hpuWindow.show();
    QTableWidget* eepromList = hpuWindow.Listbox_EEPROM();
    QTRY_VERIFY_WITH_TIMEOUT(eepromList->isEnabled(), 5000);
    QCOMPARE(eepromValue(eepromList, 30), QStringLiteral("800")); // PRESSION_MAX
    QCOMPARE(eepromValue(eepromList, 35), QStringLiteral("900")); // RPM_ALTERNATEUR_MIN
    QVERIFY(hpuWindow.editor().Listbox_EEPROM_CellAction(eepromRow(eepromList, 30), QStringLiteral("750")));
    QVERIFY(sim.waitFor(QRegularExpression(QStringLiteral("EEPROM write 30 = 750\\n")), 5000).hasMatch());
    QTRY_VERIFY_WITH_TIMEOUT(eepromList->isEnabled() && eepromValue(eepromList, 30) == QStringLiteral("750"),
                             5000);
    QVERIFY(prompts.refusals.isEmpty());
    hpuWindow.close();

    // The CSV log, ticked by default, has gained a line per second since the connection.
    const QString logFolder = monitor.state().LogFolder;
    QVERIFY(!logFolder.isEmpty());
    const int linesBefore = logLines(logFolder);
    QVERIFY(linesBefore >= 3);
    QTRY_VERIFY_WITH_TIMEOUT(logLines(logFolder) > linesBefore, 3000);

    // The pseudo-terminal is pulled away: the port reports it and is closed; the window stays
    // connected and says it is reconnecting, and disconnects on the user's press.
    const QString device = list->currentText();
    sim.process.kill();
    QVERIFY(sim.process.waitForFinished(5000));
    QTRY_VERIFY_WITH_TIMEOUT(!desktop.port.isOpen(), 5000);
    QVERIFY(monitor.state().serial_count_errors > 0);
    auto* lost = qobject_cast<QLabel*>(control("LabelConnectionLost_Values"));
    QTRY_COMPARE_WITH_TIMEOUT(lost->text(), QStringLiteral("Connection lost – reconnecting to %1…").arg(device),
                              3000);
    QVERIFY(!lost->isHidden());
    QVERIFY(monitor.isConnected());
    QCOMPARE(connectButton->text(), QStringLiteral("Disconnect"));
    QVERIFY(desktop.notifier.messages.isEmpty());
    QTest::mouseClick(connectButton, Qt::LeftButton);
    QVERIFY(!monitor.isConnected());
    QCOMPARE(connectButton->text(), QStringLiteral("Connect"));
    QVERIFY(list->isEnabled());
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"

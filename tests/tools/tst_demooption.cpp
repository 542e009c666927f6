// velmora --demo: the demo installation in the main window's device list, served inside the
// process, driven headless on a manual timeline.
#include "NoBrowser.h"
#include "TestPlatform.h"
#include "app/CommandLine.h"
#include "app/LinkOpener.h"
#include "app/WindowMain.h"
#include "core/NumberMask.h"
#include "sim/DemoDevice.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestDemoOption : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void demoIsAskedOnTheCommandLine_data();
    void demoIsAskedOnTheCommandLine();
    void theWindowShowsTheDemoInstallation();
};

void TestDemoOption::demoIsAskedOnTheCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("demo");
    QTest::newRow("no option") << QStringList{"velmora"} << false;
    QTest::newRow("--demo") << QStringList{"velmora", "--demo"} << true;
    QTest::newRow("--demo with a port") << QStringList{"velmora", "--port", "/dev/pts/4", "--demo"} << true;
}

void TestDemoOption::demoIsAskedOnTheCommandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, demo);
    const StartupOptions options = parseCommandLine(arguments);
    QVERIFY(!options.exit);
    QCOMPARE(options.demo, demo);
    QVERIFY(parseCommandLine({"velmora", "--help"}).message.contains(QStringLiteral("--demo")));
}

void TestDemoOption::theWindowShowsTheDemoInstallation() {
    TestPlatform doubles;
    doubles.devices.setNames({QStringLiteral("ttyUSB0")});
    DemoPlatform demo(doubles.platform());
    NoBrowser browser;
    WindowMain window(demo.platform(), browser);
    window.show();
    const auto control = [&](const char* name) {
        return window.findChild<QWidget*>(QString::fromLatin1(name));
    };
    auto* list = qobject_cast<QComboBox*>(control("SerialPortsPopupMenu"));
    auto* connectButton = qobject_cast<QPushButton*>(control("ConnectButton"));
    QVERIFY(list && connectButton);

    doubles.timeline.advance(500); // the first refresh of the device list
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(1), QStringLiteral("Demo installation"));
    QCOMPARE(list->currentIndex(), 1);
    QTest::mouseClick(connectButton, Qt::LeftButton);
    QCOMPARE(connectButton->text(), QStringLiteral("Disconnect"));
    QCOMPARE(doubles.port.openCount, 0); // no adapter involved

    doubles.timeline.advance(1200);
    auto* inputVoltage = qobject_cast<QLabel*>(control("LabelValue_Uin"));
    QVERIFY(!inputVoltage->isHidden());
    const double shown = inputVoltage->text().toDouble();
    QVERIFY2(shown >= 45.0 && shown <= 50.0, qPrintable(inputVoltage->text()));
    QCOMPARE(qobject_cast<QLabel*>(control("LabelValue_Pression"))->text(),
             formatMask(2.5, "0.00", QLocale()));
    QVERIFY(!control("CanvasProp")->isHidden());

    auto* pump = qobject_cast<QPushButton*>(control("PompeButton"));
    QVERIFY(!pump->isHidden());
    QTest::mouseClick(pump, Qt::LeftButton);
    doubles.timeline.advance(400);
    const auto& commands = demo.simulatedPort().installation().commands();
    QCOMPARE(commands.size(), 1);
    QCOMPARE(commands[0].name(), QStringLiteral("pump"));
    QVERIFY(commands[0].delayMs >= 150 && commands[0].delayMs <= 161);
}

QTEST_MAIN(TestDemoOption)
#include "tst_demooption.moc"

// The command-line runs the benchmarks use: --connect joins the last device of the list at
// once, --keep-requesting keeps an EEPROM read pending so that a command follows every
// converter frame, --measure-startup tells when the main window first painted.
#include "Hex.h"
#include "TestPlatform.h"
#include "app/CommandLine.h"
#include "app/LinkOpener.h"
#include "app/MeasurementRun.h"
#include "app/WindowMain.h"

#include <QTest>

namespace {

class NoBrowser : public LinkOpener {
public:
    void open(const QUrl&) override {}
};

const QByteArray kEepromRead = hexBytes("12 11 4C 02 00 71");
const char* const kConverterFrame = "00 01 10 10 01 E0 5D C0 09 C4 00 00 01 5E 03 E8 00 00 04 36";

} // namespace

class TestMeasurementRun : public QObject {
    Q_OBJECT
private slots:
    void optionsAreRead() {
        const StartupOptions none = parseCommandLine({"velmora"});
        QVERIFY(!none.measureStartup && !none.connectAtStart && !none.keepRequesting);
        const StartupOptions all = parseCommandLine(
            {"velmora", "--port", "/dev/pts/3", "--connect", "--keep-requesting", "--measure-startup"});
        QVERIFY(!all.exit);
        QVERIFY(all.measureStartup && all.connectAtStart && all.keepRequesting);
    }

    void connectAndKeepRequesting_aCommandAfterEveryConverterFrame() {
        TestPlatform tp;
        tp.devices.setNames({QStringLiteral("ttyS0"), QStringLiteral("pts3")});
        NoBrowser browser;
        WindowMain window(tp.platform(), browser);
        const StartupOptions options = parseCommandLine({"velmora", "--connect", "--keep-requesting"});
        QElapsedTimer sinceMain;
        sinceMain.start();
        startMeasurements(window, options, sinceMain);

        QVERIFY(window.monitor().isConnected());
        QCOMPARE(tp.port.openedDevice.name, QStringLiteral("pts3")); // the last device: the --port one
        for (int frame = 0; frame < 3; ++frame) {
            QTRY_VERIFY(window.monitor().state().emissionRequest); // rebuilt by the 20 ms request timer
            tp.port.feed(hexBytes(kConverterFrame));
            tp.timeline.advance(200); // the frame is read, and 150 ms later the command leaves
        }
        QCOMPARE(tp.port.writes, (QList<QByteArray>{kEepromRead, kEepromRead, kEepromRead}));
    }

    void firstPaint_toldOnceWithTheTimeSinceStart() {
        TestPlatform tp;
        NoBrowser browser;
        WindowMain window(tp.platform(), browser);
        QElapsedTimer sinceMain;
        sinceMain.start();
        QVector<qint64> told;
        watchFirstPaint(window, sinceMain, [&told](qint64 ms) { told.append(ms); });
        QVERIFY(told.isEmpty());
        window.show();
        QTRY_COMPARE(told.size(), 1);
        window.update();
        QTest::qWait(50); // later paints are not told
        QCOMPARE(told.size(), 1);
        QVERIFY(told.first() >= 0 && told.first() <= sinceMain.elapsed());
    }
};

QTEST_MAIN(TestMeasurementRun)
#include "tst_measurementrun.moc"

// The switches of the benchmark's measuring build (velmora-measured): --connect joins the last
// device of the list at once, --keep-requesting keeps an EEPROM read pending so that a command
// follows every converter frame, --measure-startup tells when the main window first painted.
#include "Hex.h"
#include "NoBrowser.h"
#include "TestPlatform.h"
#include "app/CommandLine.h"
#include "app/LinkOpener.h"
#include "app/WindowMain.h"
#include "measured/MeasurementRun.h"

#include <QTest>

namespace {

const QByteArray kEepromRead = hexBytes("12 11 4C 02 00 71");
const char* const kConverterFrame = "00 01 10 10 01 E0 5D C0 09 C4 00 00 01 5E 03 E8 00 00 04 36";

} // namespace

class TestMeasurementRun : public QObject {
    Q_OBJECT
private slots:
    void optionsAreRead() {
        const MeasuredCommandLine none = parseMeasuredCommandLine({"velmora-measured"});
        QVERIFY(!none.startup.exit);
        QVERIFY(!none.measurement.measureStartup && !none.measurement.connectAtStart &&
                !none.measurement.keepRequesting);
        const MeasuredCommandLine all =
            parseMeasuredCommandLine({"velmora-measured", "--port", "/dev/pts/3", "--connect",
                                      "--keep-requesting", "--measure-startup", "--demo"});
        QVERIFY(!all.startup.exit);
        QCOMPARE(all.startup.extraPorts, QStringList{"/dev/pts/3"}); // velmora's own options still read
        QVERIFY(all.startup.demo);
        QVERIFY(all.measurement.measureStartup && all.measurement.connectAtStart &&
                all.measurement.keepRequesting);
    }

    // The measuring build's help lists the switches next to velmora's own options.
    void helpListsTheSwitches() {
        const MeasuredCommandLine help = parseMeasuredCommandLine({"velmora-measured", "--help"});
        QVERIFY(help.startup.exit);
        QCOMPARE(help.startup.exitCode, 0);
        for (const char* option : {"--port", "--demo", "--connect", "--keep-requesting", "--measure-startup"})
            QVERIFY2(help.startup.message.contains(QLatin1String(option)), option);
    }

    void connectAndKeepRequesting_aCommandAfterEveryConverterFrame() {
        TestPlatform tp;
        tp.devices.setNames({QStringLiteral("ttyS0"), QStringLiteral("pts3")});
        NoBrowser browser;
        WindowMain window(tp.platform(), browser);
        const MeasuredCommandLine options =
            parseMeasuredCommandLine({"velmora-measured", "--connect", "--keep-requesting"});
        QElapsedTimer sinceMain;
        sinceMain.start();
        startMeasurements(window, options.measurement, sinceMain);

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

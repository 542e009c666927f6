#include "Files.h"
#include "Hex.h"
#include "TestPlatform.h"
#include "UserTexts.h"
#include "datalog/LogFolderSetting.h"
#include "link/Frame.h"
#include "monitor/Monitor.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

// The whole TimerLog tick through the monitor: connection test, stale-data check, then the
// log line, with the converter speaking on the fake port.
namespace {

const QString kFile = QStringLiteral("/2026_03_14_LogOrvane_FT4ABCDE.csv");
const QByteArray kHeader7 = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];\n";
// Version 2 converter frame: 48.5 V in, 27.310 V and 5.120 A out, 35.2 degrees, raw speed
// 1013 (1519 rpm).
const char* const kConverterFrame = "00 01 10 10 01 E5 6A AE 14 00 00 00 01 60 03 F5 00 00 03 8C";
const QByteArray kConverterLine = ";48.500;27.310;05.120;139.8;1519;35.2;\n";
const QByteArray kResetLine = ";-01.000;-01.000;-01.000;-01.0;-01;-01.0;\n";

struct Bench {
    Bench() {
        platform.timeline.setWallClock(QDateTime(QDate(2026, 3, 14), QTime(10, 0, 0)));
        platform.devices.setNames({QStringLiteral("cu.usbserial-FT4ABCDE")});
        platform.timeline.advance(500); // the device list fills, the connect button wakes
    }
    void connect() {
        monitor.ConnectButton_Action();
        QVERIFY(monitor.isConnected());
        QCOMPARE(monitor.controls().ConnectButton.caption, App::text(App::Caption::kUnconnectCaption));
    }
    void converterSpeaks() {
        platform.port.feed(hexBytes(kConverterFrame));
        platform.timeline.advance(20); // the reception timer reads and decodes it
    }
    QString logFile() const { return platform.userFolders.documents() + kFile; }

    TestPlatform platform;
    Monitor monitor{platform.platform()};
};

} // namespace

class TestMonitorLog : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void converterFramesLoggedThenResetWhenSilent() {
        Bench bench;
        bench.connect();
        bench.converterSpeaks(); // at 520 ms

        bench.platform.timeline.advance(3480); // ticks up to 4000 ms; silent for 3480 ms at the last

        QCOMPARE(readAll(bench.logFile()), kHeader7 + "10:00:01" + kConverterLine + "10:00:02" +
                                               kConverterLine + "10:00:03" + kConverterLine + "10:00:04" +
                                               kResetLine);
        QVERIFY(!bench.monitor.controls().LabelValue_Uin.visible);
    }

    // A converter frame of neither protocol version (an output at 0 V) after an over-speed
    // V1 frame: the input voltage and the temperature are shown, logged and sampled; the
    // output side and the speed are hidden, logged as -1 like a silent converter's, empty in
    // the second's sample, and the old over-speed no longer lights the speed row.
    void neitherVersionFrame_onlyWhatItCarriesIsLive() {
        Bench bench;
        QSignalSpy samples(&bench.monitor, &Monitor::secondSampled);
        bench.connect();
        // V1: 48.5 V in, 24.0 V and 2.5 A out, 35.2 degrees, speeds 3510 and 3150 rpm.
        bench.platform.port.feed(
            Frame::withChecksum(hexBytes("00 01 10 10 01 E5 00 F0 00 19 00 00 01 60 00 EA 00 D2")));
        bench.platform.timeline.advance(20);
        QCOMPARE(bench.monitor.controls().Rect_AlertRPM, AlertFill::AlertRed);
        bench.platform.timeline.advance(480); // 10:00:01 logged with the V1 values

        // Output voltage raw 0: neither version. 50.0 V in, 36.0 degrees.
        bench.platform.port.feed(
            Frame::withChecksum(hexBytes("00 01 10 10 01 F4 00 00 00 19 00 00 01 68 00 EA 00 D2")));
        bench.platform.timeline.advance(20);
        const ControlsState& shown = bench.monitor.controls();
        QCOMPARE(shown.Rect_AlertRPM, AlertFill::Transparent);
        QVERIFY(shown.LabelValue_Uin.visible && shown.LabelValue_T.visible);
        QCOMPARE(shown.LabelValue_T.text, QStringLiteral("36.00"));
        QVERIFY(!shown.LabelValue_Uout.visible && !shown.LabelValue_Iout.visible &&
                !shown.LabelValue_Pout.visible && !shown.LabelValue_RPM.visible);
        bench.platform.timeline.advance(980); // 10:00:02

        QCOMPARE(readAll(bench.logFile()), kHeader7 + "10:00:01;48.500;24.000;02.500;60.0;3510;35.2;\n" +
                                               "10:00:02;50.000;-01.000;-01.000;-01.0;-01;36.0;\n");
        const auto sample = samples.last().at(0).value<SecondSample>();
        QCOMPARE(sample.inputVoltage, std::optional<double>(50.0));
        QCOMPARE(sample.temperature, std::optional<double>(36.0));
        QVERIFY(!sample.outputVoltage && !sample.outputCurrent && !sample.outputPower && !sample.speed);
        QVERIFY(!sample.speedAlarm);
    }

    void disconnectedTicksTouchNothing() {
        Bench bench;
        bench.connect();
        bench.converterSpeaks();
        bench.platform.timeline.advance(480); // one line at 10:00:01
        const QByteArray before = readAll(bench.logFile());
        QCOMPARE(before, kHeader7 + "10:00:01" + kConverterLine);

        bench.monitor.ConnectButton_Action(); // disconnect
        QVERIFY(!bench.monitor.isConnected());
        bench.platform.timeline.advance(10000);

        QCOMPARE(readAll(bench.logFile()), before);
        QCOMPARE(bench.monitor.state().U_in, 48.5); // no stale reset either
        QCOMPARE(bench.monitor.state().timeStampLastLog, QStringLiteral("10:00:01"));
    }

    void untickingStopsAtTheNextTickAndTickingResumes() {
        Bench bench;
        bench.connect();
        bench.converterSpeaks();
        bench.platform.timeline.advance(480); // 10:00:01
        bench.monitor.setLogChecked(false);
        bench.converterSpeaks();
        bench.platform.timeline.advance(1980); // ticks from 10:00:01.5 to :03.0 write nothing
        bench.monitor.setLogChecked(true);
        bench.converterSpeaks();
        bench.platform.timeline.advance(480); // 10:00:03.5

        QCOMPARE(readAll(bench.logFile()),
                 kHeader7 + "10:00:01" + kConverterLine + "10:00:03" + kConverterLine);
    }

    // The message box's event loop keeps TimerLog ticking: the failure is told once.
    void unwritableFolderToldOnceWhileTheBoxIsOpen() {
        Bench bench;
        const QString logs = bench.platform.dir.path() + QStringLiteral("/Logs");
        QFile settings(bench.platform.resources.filePath(LogFolderSetting::fileName()));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(logs.toUtf8() + '\n');
        settings.close();
        bench.platform.notifier.onMessage = [&](const QString&) { bench.platform.timeline.advance(1500); };
        bench.connect();
        bench.converterSpeaks();

        bench.platform.timeline.advance(480); // 10:00:01: the folder is missing

        QCOMPARE(bench.platform.notifier.messages, QStringList{UserTexts::kLogFailure});
        QVERIFY(!bench.monitor.controls().CheckBoxLog_checked);

        QDir().mkpath(logs);
        bench.monitor.setLogChecked(true);
        bench.platform.timeline.advance(500);
        QCOMPARE(readAll(logs + kFile), kHeader7 + "10:00:03" + kConverterLine);
        QCOMPARE(bench.platform.notifier.messages.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestMonitorLog)
#include "tst_monitorlog.moc"

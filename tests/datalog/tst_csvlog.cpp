#include "Files.h"
#include "TestPlatform.h"
#include "Unprivileged.h"
#include "UserTexts.h"
#include "datalog/CsvLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kDevice = QStringLiteral("cu.usbserial-FT4ABCDE");
const QByteArray kTitles7 = "  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];\n";
const QByteArray kTitles10 = "  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];Mode "
                             "HPU;Pression (bar);Correction pitch;\n";

QDateTime at(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

// One run of the tool's logging: the monitor state and the Log box of a fresh main window,
// already connected through device, with TimerLog ticking the logging step every 500 ms.
struct Run {
    explicit Run(TestPlatform& platform, const QString& device = kDevice)
        : device(device)
        , setting(platform.resources, platform.userFolders)
        , log(state, platform.timeline, platform.notifier, setting)
        , TimerLog(platform.timeline.create(QStringLiteral("TimerLog"), 500, nullptr)) {
        QObject::connect(TimerLog.get(), &Timer::timeout, [this] { tick(); });
        TimerLog->setMode(Timer::Repeating);
    }

    // The logging step as the monitor runs it: a failure unticks the box.
    void tick() {
        if (log.logTick(CheckBoxLog_checked, device) == CsvLog::TickOutcome::Failed)
            CheckBoxLog_checked = false;
    }

    MonitorState state;
    bool CheckBoxLog_checked = true;
    const QString device;
    LogFolderSetting setting;
    CsvLog log;
    std::unique_ptr<Timer> TimerLog;
};

// The values of a converter line and an HPU line as the decoders leave them.
void setExampleValues(MonitorState& s) {
    s.U_in = 48.512;
    s.U_out = 27.31;
    s.I_out = 5.12;
    s.P_out = 139.8;
    s.RPM1 = 1520;
    s.TempCV = 35.2;
    s.ModeHPU = QStringLiteral("Auto");
    s.Pression = 12.4;
    s.Pitch = QStringLiteral("inactive");
    s.presenceHPU = true;
}

enum class Values { Example, Small, Stale };

void setValues(MonitorState& s, Values values) {
    setExampleValues(s);
    if (values == Values::Small) {
        s.U_in = 5.1234;
        s.U_out = 0;
        s.I_out = 0.5;
        s.P_out = 0;
        s.RPM1 = 7;
        s.TempCV = 9.96;
        s.ModeHPU = QStringLiteral("Manuel");
        s.Pression = 1.5;
        s.Pitch = QStringLiteral("pump active");
    } else if (values == Values::Stale) {
        // As the stale-data check leaves both devices.
        s.U_in = s.U_out = s.I_out = s.P_out = s.TempCV = -1.0;
        s.RPM1 = s.RPM2 = -1;
        s.Pression = -1.0;
        s.ModeHPU = s.Pitch = QStringLiteral(" ");
        s.presenceHPU = false;
    }
}

} // namespace

Q_DECLARE_METATYPE(Values)

class TestCsvLog : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void fileName_data() {
        QTest::addColumn<QDateTime>("d");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("expected");
        QTest::newRow("last 8 characters of the device")
            << at(2026, 3, 14, 10, 0, 0) << kDevice << "2026_03_14_LogOrvane_FT4ABCDE.csv";
        QTest::newRow("short device name used whole") << at(2026, 11, 2, 23, 59, 59) << "COM3"
                                                      << "2026_11_02_LogOrvane_COM3.csv";
        QTest::newRow("exactly 8 characters") << at(2027, 1, 5, 0, 0, 0) << "ttyUSB12"
                                              << "2027_01_05_LogOrvane_ttyUSB12.csv";
        QTest::newRow("no device selected") << at(2026, 12, 31, 12, 0, 0) << ""
                                            << "2026_12_31_LogOrvane_.csv";
        QTest::newRow("separator kept out of the name") << at(2026, 3, 14, 10, 0, 0) << "/dev/ttyUSB0"
                                                        << "2026_03_14_LogOrvane__ttyUSB0.csv";
        // Every name udev makes from the adapter ends in "00-port0": its serial number names it.
        const QDateTime d = at(2026, 3, 14, 10, 0, 0);
        QTest::newRow("by-id: the serial number")
            << d << "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KZP3Q-if00-port0"
            << "2026_03_14_LogOrvane_A10KZP3Q.csv";
        QTest::newRow("by-id: another adapter of the same make")
            << d << "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_B20LQR4S-if00-port0"
            << "2026_03_14_LogOrvane_B20LQR4S.csv";
        QTest::newRow("by-id: a long serial number is kept whole")
            << d << "/dev/serial/by-id/usb-Silicon_Labs_CP2102N_USB_to_UART_Bridge_Controller_9c5e4a1b2d3c-if00-port0"
            << "2026_03_14_LogOrvane_9c5e4a1b2d3c.csv";
        QTest::newRow("by-id: the second interface of a two-port adapter")
            << d << "/dev/serial/by-id/usb-FTDI_Dual_RS232-HS_FT5XYZ12-if01-port0"
            << "2026_03_14_LogOrvane_FT5XYZ12-if01.csv";
        QTest::newRow("by-id: a further port of one interface")
            << d << "/dev/serial/by-id/usb-Digi_Edgeport_4_V12345-if00-port3"
            << "2026_03_14_LogOrvane_V12345-port3.csv";
        QTest::newRow("by-id: no serial number, the product names it")
            << d << "/dev/serial/by-id/usb-1a86_USB2.0-Serial-if00-port0"
            << "2026_03_14_LogOrvane_USB2.0-Serial.csv";
        QTest::newRow("by-path: the socket, whole and portable")
            << d << "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0"
            << "2026_03_14_LogOrvane_pci-0000_00_14.0-usb-0_2_1.0-port0.csv";
        QTest::newRow("by-path: another socket")
            << d << "/dev/serial/by-path/pci-0000:00:14.0-usb-0:3:1.0-port0"
            << "2026_03_14_LogOrvane_pci-0000_00_14.0-usb-0_3_1.0-port0.csv";
        QTest::newRow("a listed device keeps its last 8 characters")
            << d << "ttyUSB0" << "2026_03_14_LogOrvane_ttyUSB0.csv";
    }
    void fileName() {
        QFETCH(QDateTime, d);
        QFETCH(QString, device);
        QFETCH(QString, expected);
        QCOMPARE(CsvLog::fileName(d, device), expected);
    }

    // The time column: the locale's long time without the zone name, always with seconds.
    void timeFormat_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("C") << QLocale::c() << "14:03:27";
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "14:03:27";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "14:03:27";
        QTest::newRow("en_US, 12-hour") << QLocale(QLocale::English, QLocale::UnitedStates) << "2:03:27 PM";
        QTest::newRow("zh_CN, zone first") << QLocale(QLocale::Chinese, QLocale::China) << "14:03:27";
        QTest::newRow("ja_JP, quoted units")
            << QLocale(QLocale::Japanese, QLocale::Japan) << QString::fromUtf8("14時03分27秒");
    }
    void timeFormat() {
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        QCOMPARE(locale.toString(QTime(14, 3, 27), CsvLog::timeFormat(locale)), expected);
    }

    void newFileStartsWithHeader_data() {
        QTest::addColumn<bool>("presenceHPU");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("HPU answering")
            << true
            << "LOG ORVANE\n" + kTitles10 +
                   "14:03:27;48.512;27.310;05.120;139.8;1520;35.2;Auto;12.40;inactive;\n";
        QTest::newRow("HPU silent") << false
                                    << "LOG ORVANE\n" + kTitles7 +
                                           "14:03:27;48.512;27.310;05.120;139.8;1520;35.2;\n";
    }
    void newFileStartsWithHeader() {
        QFETCH(bool, presenceHPU);
        QFETCH(QByteArray, expected);
        TestPlatform platform;
        platform.timeline.setWallClock(at(2026, 3, 14, 14, 3, 26, 600));
        Run run(platform);
        setExampleValues(run.state);
        run.state.presenceHPU = presenceHPU;

        platform.timeline.advance(500); // one tick, 14:03:27.100

        // Without a settings file the log goes to Documents.
        QCOMPARE(run.state.LogFolder, platform.userFolders.documents());
        QCOMPARE(QDir(platform.userFolders.documents()).entryList(QDir::Files),
                 QStringList{"2026_03_14_LogOrvane_FT4ABCDE.csv"});
        QCOMPARE(readAll(platform.userFolders.documents() + "/2026_03_14_LogOrvane_FT4ABCDE.csv"), expected);
        QCOMPARE(run.state.timeStampLastLog, QStringLiteral("14:03:27"));
        QCOMPARE(run.state.d, at(2026, 3, 14, 14, 3, 27, 100));
        QVERIFY(platform.notifier.messages.isEmpty());
    }

    void laterRunSameDayAppendsWithoutHeader() {
        TestPlatform platform;
        const QString path = platform.userFolders.documents() + "/2026_03_14_LogOrvane_FT4ABCDE.csv";
        platform.timeline.setWallClock(at(2026, 3, 14, 9, 0, 0));
        {
            Run first(platform);
            setExampleValues(first.state);
            platform.timeline.advance(500);
        }
        platform.timeline.setWallClock(at(2026, 3, 14, 15, 30, 0));
        Run second(platform); // a new run starts again from "00:00:00"
        setExampleValues(second.state);
        second.state.presenceHPU = false;
        platform.timeline.advance(500);

        QCOMPARE(readAll(path), "LOG ORVANE\n" + kTitles10 +
                                    "09:00:00;48.512;27.310;05.120;139.8;1520;35.2;Auto;12.40;inactive;\n"
                                    "15:30:00;48.512;27.310;05.120;139.8;1520;35.2;\n");
    }

    // The HPU columns are decided for the header when the file is made and for each line
    // when it is written.
    void hpuColumnsFollowPresenceLineByLine() {
        TestPlatform platform;
        platform.timeline.setWallClock(at(2026, 3, 14, 10, 0, 0));
        Run run(platform);
        setExampleValues(run.state);
        run.state.presenceHPU = false;
        platform.timeline.advance(500);
        run.state.presenceHPU = true;
        platform.timeline.advance(500);

        QCOMPARE(readAll(platform.userFolders.documents() + "/2026_03_14_LogOrvane_FT4ABCDE.csv"),
                 "LOG ORVANE\n" + kTitles7 +
                     "10:00:00;48.512;27.310;05.120;139.8;1520;35.2;\n"
                     "10:00:01;48.512;27.310;05.120;139.8;1520;35.2;Auto;12.40;inactive;\n");
    }

    void dataLine_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<Values>("values");
        QTest::addColumn<QByteArray>("expected");
        const QLocale point(QLocale::English, QLocale::UnitedKingdom);
        const QLocale comma(QLocale::German, QLocale::Germany);
        QTest::newRow("point, example")
            << point << Values::Example
            << QByteArray("10:00:00;48.512;27.310;05.120;139.8;1520;35.2;Auto;12.40;inactive;\n");
        QTest::newRow("comma, example")
            << comma << Values::Example
            << QByteArray("10:00:00;48,512;27,310;05,120;139,8;1520;35,2;Auto;12,40;inactive;\n");
        QTest::newRow("point, padded and rounded")
            << point << Values::Small
            << QByteArray("10:00:00;05.123;00.000;00.500;00.0;07;10.0;Manuel;1.50;pump active;\n");
        QTest::newRow("comma, padded and rounded")
            << comma << Values::Small
            << QByteArray("10:00:00;05,123;00,000;00,500;00,0;07;10,0;Manuel;1,50;pump active;\n");
        QTest::newRow("point, values reset by the stale check")
            << point << Values::Stale << QByteArray("10:00:00;-01.000;-01.000;-01.000;-01.0;-01;-01.0;\n");
        QTest::newRow("comma, values reset by the stale check")
            << comma << Values::Stale << QByteArray("10:00:00;-01,000;-01,000;-01,000;-01,0;-01;-01,0;\n");
    }
    void dataLine() {
        QFETCH(QLocale, locale);
        QFETCH(Values, values);
        QFETCH(QByteArray, expected);
        QLocale::setDefault(locale);
        TestPlatform platform;
        platform.timeline.setWallClock(at(2026, 3, 14, 9, 59, 59, 800));
        Run run(platform);
        setValues(run.state, values);

        platform.timeline.advance(500);

        const QByteArray file =
            readAll(platform.userFolders.documents() + "/2026_03_14_LogOrvane_FT4ABCDE.csv");
        QVERIFY2(file.endsWith(kTitles7 + expected) || file.endsWith(kTitles10 + expected), file.constData());
    }

    void oneLinePerDisplayedSecond() {
        TestPlatform platform;
        platform.timeline.setWallClock(at(2026, 3, 14, 10, 0, 0, 100));
        Run run(platform);
        setExampleValues(run.state);
        run.state.presenceHPU = false;

        platform.timeline.advance(2000); // ticks at :00.6, :01.1, :01.6, :02.1
        run.tick();               // and one more within :02

        QCOMPARE(readAll(platform.userFolders.documents() + "/2026_03_14_LogOrvane_FT4ABCDE.csv"),
                 "LOG ORVANE\n" + kTitles7 +
                     "10:00:00;48.512;27.310;05.120;139.8;1520;35.2;\n"
                     "10:00:01;48.512;27.310;05.120;139.8;1520;35.2;\n"
                     "10:00:02;48.512;27.310;05.120;139.8;1520;35.2;\n");
    }

    void midnightStartsTheNextDaysFile() {
        TestPlatform platform;
        platform.timeline.setWallClock(at(2026, 12, 31, 23, 59, 58, 200));
        Run run(platform);
        setExampleValues(run.state);
        run.state.presenceHPU = false;

        platform.timeline.advance(3000); // ticks up to 00:00:01.2 on the first of January

        const QString documents = platform.userFolders.documents();
        const QByteArray line = ";48.512;27.310;05.120;139.8;1520;35.2;\n";
        QCOMPARE(readAll(documents + "/2026_12_31_LogOrvane_FT4ABCDE.csv"),
                 "LOG ORVANE\n" + kTitles7 + "23:59:58" + line + "23:59:59" + line);
        QCOMPARE(readAll(documents + "/2027_01_01_LogOrvane_FT4ABCDE.csv"),
                 "LOG ORVANE\n" + kTitles7 + "00:00:00" + line + "00:00:01" + line);
    }

    void untickedBoxStopsLoggingAndTickingResumes() {
        TestPlatform platform;
        platform.timeline.setWallClock(at(2026, 3, 14, 10, 0, 0));
        Run run(platform);
        setExampleValues(run.state);
        run.state.presenceHPU = false;
        const QString path = platform.userFolders.documents() + "/2026_03_14_LogOrvane_FT4ABCDE.csv";

        run.CheckBoxLog_checked = false;
        platform.timeline.advance(1000);
        QVERIFY(!QFile::exists(path));
        QVERIFY(!run.state.d.isValid()); // the logging step was not reached

        run.CheckBoxLog_checked = true;
        platform.timeline.advance(500); // 10:00:01.5
        run.CheckBoxLog_checked = false;
        platform.timeline.advance(2000);
        run.CheckBoxLog_checked = true;
        platform.timeline.advance(500); // 10:00:04.0

        QCOMPARE(readAll(path), "LOG ORVANE\n" + kTitles7 +
                                    "10:00:01;48.512;27.310;05.120;139.8;1520;35.2;\n"
                                    "10:00:04;48.512;27.310;05.120;139.8;1520;35.2;\n");
    }

    void newFolderSettingAppliesAtTheNextTick() {
        TestPlatform platform;
        platform.timeline.setWallClock(at(2026, 3, 14, 10, 0, 0));
        Run run(platform);
        setExampleValues(run.state);
        run.state.presenceHPU = false;
        platform.timeline.advance(500);

        const QString logs = platform.dir.path() + "/Logs";
        QDir().mkpath(logs);
        writeFile(platform.resources.filePath(LogFolderSetting::fileName()), logs.toUtf8() + "\nrest\n");
        platform.timeline.advance(500);

        QCOMPARE(run.state.LogFolder, logs);
        QCOMPARE(readAll(logs + "/2026_03_14_LogOrvane_FT4ABCDE.csv"),
                 "LOG ORVANE\n" + kTitles7 + "10:00:01;48.512;27.310;05.120;139.8;1520;35.2;\n");
        QCOMPARE(readAll(platform.userFolders.documents() + "/2026_03_14_LogOrvane_FT4ABCDE.csv"),
                 "LOG ORVANE\n" + kTitles7 + "10:00:00;48.512;27.310;05.120;139.8;1520;35.2;\n");
    }

    void noFolderAtAllEndsTheTickSilently() {
        TestPlatform platform;
        FixedResourceFolder nowhere{QString()};
        MonitorState state;
        LogFolderSetting setting(nowhere, platform.userFolders);
        CsvLog log(state, platform.timeline, platform.notifier, setting);

        QVERIFY(log.logTick(true, kDevice) == CsvLog::TickOutcome::NothingWritten); // the box stays ticked

        QVERIFY(state.LogFolder.isEmpty());
        QCOMPARE(state.timeStampLastLog, QStringLiteral("00:00:00"));
        QVERIFY(platform.notifier.messages.isEmpty());
        QVERIFY(QDir(platform.userFolders.documents()).isEmpty());
    }

    // A log file that cannot be written is told once, however many ticks come while the
    // message is open; the box ends unticked, and once the folder is mended and the box
    // ticked again, the same second is written.
    void fileFailure_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("folder vanished") << "vanished";
        QTest::newRow("folder path is a file") << "file";
        QTest::newRow("disk full") << "full";
    }
    void fileFailure() {
        QFETCH(QString, fault);
        TestPlatform platform;
        const QString logs = platform.dir.path() + "/Logs";
        const QString path = logs + "/2026_03_14_LogOrvane_FT4ABCDE.csv";
        writeFile(platform.resources.filePath(LogFolderSetting::fileName()), logs.toUtf8() + '\n');
        QDir().mkpath(logs);
        if (fault == "vanished") {
            QDir(logs).removeRecursively();
        } else if (fault == "file") {
            QDir(logs).removeRecursively();
            writeFile(logs, "not a folder");
        } else if (fault == "full") {
            if (!QFile::exists(QStringLiteral("/dev/full")))
                QSKIP("no full device on this system");
            QVERIFY(QFile::link(QStringLiteral("/dev/full"), path));
        }

        platform.timeline.setWallClock(at(2026, 3, 14, 9, 59, 59, 900));
        Run run(platform);
        setExampleValues(run.state);
        run.state.presenceHPU = false;
        int ticksWhileOpen = 0;
        platform.notifier.onMessage = [&](const QString&) {
            // The message box's own event loop lets TimerLog keep ticking.
            while (ticksWhileOpen < 3) {
                ++ticksWhileOpen;
                run.tick();
            }
        };

        platform.timeline.advance(500); // 10:00:00.4

        QCOMPARE(platform.notifier.messages, QStringList{UserTexts::kLogFailure});
        QCOMPARE(ticksWhileOpen, 3);
        QVERIFY(!run.CheckBoxLog_checked);
        QCOMPARE(run.state.timeStampLastLog, QStringLiteral("00:00:00"));

        // Mend the folder, tick the box again: the failed second is written.
        QFile::remove(path);
        QDir(path).removeRecursively();
        QFile::remove(logs);
        QDir().mkpath(logs);
        run.CheckBoxLog_checked = true;
        platform.timeline.advance(500); // 10:00:00.9

        QCOMPARE(platform.notifier.messages.size(), 1);
        QVERIFY(run.CheckBoxLog_checked);
        QCOMPARE(readAll(path),
                 "LOG ORVANE\n" + kTitles7 + "10:00:00;48.512;27.310;05.120;139.8;1520;35.2;\n");
    }

    void twoAdaptersNeverShareAFile();
    void dayFileLeftByAPowerCut_data();
    void dayFileLeftByAPowerCut();
    void refusedDayFileTheLogGoesOnBeside_data();
    void refusedDayFileTheLogGoesOnBeside();
    void dayFileOfAnotherOwnerTheLogGoesOnBeside();
};

// Two adapters named by their by-id paths log into one folder: two files, each with its own
// header and lines, none interleaved.
void TestCsvLog::twoAdaptersNeverShareAFile() {
    TestPlatform platform;
    platform.timeline.setWallClock(at(2026, 3, 14, 10, 0, 0));
    Run first(platform, QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KZP3Q-if00-port0"));
    Run second(platform, QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_B20LQR4S-if00-port0"));
    setExampleValues(first.state);
    first.state.presenceHPU = false;
    setValues(second.state, Values::Small);
    second.state.presenceHPU = false;
    platform.timeline.advance(2000);

    const QString documents = platform.userFolders.documents();
    QCOMPARE(QDir(documents).entryList(QDir::Files),
             (QStringList{"2026_03_14_LogOrvane_A10KZP3Q.csv", "2026_03_14_LogOrvane_B20LQR4S.csv"}));
    const QByteArray firstLine = ";48.512;27.310;05.120;139.8;1520;35.2;\n";
    const QByteArray secondLine = ";05.123;00.000;00.500;00.0;07;10.0;\n";
    QCOMPARE(readAll(documents + "/2026_03_14_LogOrvane_A10KZP3Q.csv"),
             "LOG ORVANE\n" + kTitles7 + "10:00:00" + firstLine + "10:00:01" + firstLine + "10:00:02" + firstLine);
    QCOMPARE(readAll(documents + "/2026_03_14_LogOrvane_B20LQR4S.csv"),
             "LOG ORVANE\n" + kTitles7 + "10:00:00" + secondLine + "10:00:01" + secondLine + "10:00:02" +
                 secondLine);
}

// What a power cut leaves of the day's file, and what the next line makes of it.
void TestCsvLog::dayFileLeftByAPowerCut_data() {
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray line = "10:00:00;48.512;27.310;05.120;139.8;1520;35.2;\n";
    const QByteArray earlier = "09:59:58;48.512;27.310;05.120;139.8;1520;35.2;\n";
    QTest::newRow("empty, cut right after its creation") << QByteArray() << "LOG ORVANE\n" + kTitles7 + line;
    QTest::newRow("last line torn") << "LOG ORVANE\n" + kTitles7 + "09:59:58;48.5"
                                    << "LOG ORVANE\n" + kTitles7 + "09:59:58;48.5\n" + line;
    QTest::newRow("title line torn") << QByteArray("LOG ORVANE\n  time  ;  U_i")
                                     << QByteArray("LOG ORVANE\n  time  ;  U_i\n") + line;
    QTest::newRow("whole lines, appended as they are")
        << "LOG ORVANE\n" + kTitles7 + earlier << "LOG ORVANE\n" + kTitles7 + earlier + line;
}

void TestCsvLog::dayFileLeftByAPowerCut() {
    QFETCH(QByteArray, left);
    QFETCH(QByteArray, expected);
    TestPlatform platform;
    const QString documents = platform.userFolders.documents();
    const QString path = documents + "/2026_03_14_LogOrvane_FT4ABCDE.csv";
    QVERIFY(QDir().mkpath(documents));
    writeFile(path, left);
    platform.timeline.setWallClock(at(2026, 3, 14, 9, 59, 59, 900));
    Run run(platform);
    setExampleValues(run.state);
    run.state.presenceHPU = false;

    platform.timeline.advance(500);

    QCOMPARE(readAll(path), expected);
    QVERIFY(platform.notifier.messages.isEmpty());
}

// A day's file that exists but refuses lines: the log goes on beside it, in the same file at
// every tick and after a restart, and says so once per run; the box stays ticked.
void TestCsvLog::refusedDayFileTheLogGoesOnBeside_data() {
    QTest::addColumn<QStringList>("folders"); // in place of files, in the log folder
    QTest::addColumn<QString>("used");
    QTest::newRow("a folder in place of the day's file")
        << QStringList{"2026_03_14_LogOrvane_FT4ABCDE.csv"} << "2026_03_14_LogOrvane_FT4ABCDE-2.csv";
    QTest::newRow("and in place of the first name beside it")
        << QStringList{"2026_03_14_LogOrvane_FT4ABCDE.csv", "2026_03_14_LogOrvane_FT4ABCDE-2.csv"}
        << "2026_03_14_LogOrvane_FT4ABCDE-3.csv";
}

void TestCsvLog::refusedDayFileTheLogGoesOnBeside() {
    QFETCH(QStringList, folders);
    QFETCH(QString, used);
    TestPlatform platform;
    const QString documents = platform.userFolders.documents();
    for (const QString& folder : folders)
        QVERIFY(QDir().mkpath(documents + QLatin1Char('/') + folder));
    const QString refused = documents + QLatin1Char('/') + folders.first();
    const QString beside = documents + QLatin1Char('/') + used;
    const QByteArray line = ";48.512;27.310;05.120;139.8;1520;35.2;\n";
    platform.timeline.setWallClock(at(2026, 3, 14, 10, 0, 0));
    {
        Run run(platform);
        setExampleValues(run.state);
        run.state.presenceHPU = false;
        QVector<std::pair<MonitorEvent::Kind, QString>> events;
        run.log.setEventObserver([&](MonitorEvent::Kind kind, const QString& detail) { events.append({kind, detail}); });
        platform.timeline.advance(3000);

        QCOMPARE(platform.notifier.messages, QStringList{DayFileWriter::movedMessage(refused, beside)});
        QCOMPARE(events.size(), 1);
        QCOMPARE(events[0].first, MonitorEvent::Kind::LogFileMoved);
        QCOMPARE(events[0].second, refused + " -> " + beside);
        QVERIFY(run.CheckBoxLog_checked);
    }
    Run restarted(platform);
    setExampleValues(restarted.state);
    restarted.state.presenceHPU = false;
    platform.timeline.advance(500);

    QCOMPARE(platform.notifier.messages.size(), 2); // once again, for the new run
    // The restarted run begins its own seconds again: 10:00:03 a second time.
    QCOMPARE(readAll(beside), "LOG ORVANE\n" + kTitles7 + "10:00:00" + line + "10:00:01" + line + "10:00:02" +
                                  line + "10:00:03" + line + "10:00:03" + line);
    QVERIFY(QFileInfo(refused).isDir());
}

// The day's file belongs to another user and cannot be appended to: the log goes on beside it.
// Run as root, the file is root's and the test goes on as "nobody"; run as anyone else, the
// file is made read-only, which refuses the owner the same way.
void TestCsvLog::dayFileOfAnotherOwnerTheLogGoesOnBeside() {
    const char* const fixtureVariable = "VELMORA_TEST_LOG_FOLDER";
    const QString dayFile = QStringLiteral("/2026_03_14_LogOrvane_FT4ABCDE.csv");
    const QByteArray kept = "LOG ORVANE\n" + kTitles7 + "09:00:00;48.512;27.310;05.120;139.8;1520;35.2;\n";
    std::unique_ptr<QTemporaryDir> shared; // made by root, kept while "nobody" runs
    const auto forget = qScopeGuard([&] {
        if (shared)
            qunsetenv(fixtureVariable);
    });
    if (unprivileged::isRoot()) {
        shared = std::make_unique<QTemporaryDir>();
        QVERIFY(QFile::setPermissions(shared->path(), QFileDevice::Permissions(0x7777)));
        writeFile(shared->path() + dayFile, kept);
        qputenv(fixtureVariable, shared->path().toUtf8());
    }
    VELMORA_RUN_UNPRIVILEGED();

    TestPlatform platform;
    QString logs = QString::fromUtf8(qgetenv(fixtureVariable));
    if (logs.isEmpty()) {
        logs = platform.dir.path() + "/Logs";
        QVERIFY(QDir().mkpath(logs));
        writeFile(logs + dayFile, kept);
        QVERIFY(QFile::setPermissions(logs + dayFile, QFileDevice::ReadOwner | QFileDevice::ReadOther));
    }
    writeFile(platform.resources.filePath(LogFolderSetting::fileName()), logs.toUtf8() + '\n');
    platform.timeline.setWallClock(at(2026, 3, 14, 10, 0, 0));
    Run run(platform);
    setExampleValues(run.state);
    run.state.presenceHPU = false;
    platform.timeline.advance(500);

    QCOMPARE(readAll(logs + dayFile), kept);
    QCOMPARE(readAll(logs + "/2026_03_14_LogOrvane_FT4ABCDE-2.csv"),
             "LOG ORVANE\n" + kTitles7 + "10:00:00;48.512;27.310;05.120;139.8;1520;35.2;\n");
    QCOMPARE(platform.notifier.messages.size(), 1);
    QVERIFY(run.CheckBoxLog_checked);
}

QTEST_GUILESS_MAIN(TestCsvLog)
#include "tst_csvlog.moc"

// The CSV log meeting a folder that vanishes, a folder it cannot write, a full file system,
// and a damaged "Log_Folder.txt": the user is told once and the Log box is unticked where
// they must act, the lines already logged stay whole, logging resumes when the box is
// ticked again, and the tool keeps decoding throughout. Techniques that hold as root: a
// removed folder, a file in place of a folder, a file-size limit, /dev/full.
#include "Hex.h"
#include "TestPlatform.h"
#include "UserTexts.h"
#include "datalog/LogFolderSetting.h"
#include "link/Frame.h"

#ifdef Q_OS_UNIX
#include "FileSizeLimit.h"
#include "ResidentMemory.h"
#endif

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString kFileName = QStringLiteral("2026_03_14_LogOrvane_FT4ABCDE.csv");
const QByteArray kHeader = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];\n";
// 48.5 V in, 27.310 V and 5.120 A out, 35.2 degrees, 1519 rpm.
const QByteArray kConverterFrame =
    Frame::withChecksum(hexBytes("00 01 10 10 01 E5 6A AE 14 00 00 00 01 60 03 F5 00 00"));
const QByteArray kConverterLine = ";48.500;27.310;05.120;139.8;1519;35.2;\n";

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The monitor connected to the adapter "cu.usbserial-FT4ABCDE" at 10:00:00.500 on 14 March
// 2026, logging into the folder named by "Log_Folder.txt"; the converter speaks every second.
struct LoggingSite {
    LoggingSite() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        logFolder = doubles.dir.path() + QStringLiteral("/Logs");
        QDir().mkpath(logFolder);
        chooseFolder(logFolder);
        doubles.devices.setNames({QStringLiteral("cu.usbserial-FT4ABCDE")});
        doubles.timeline.advance(500);
        monitor.ConnectButton_Action();
    }
    ~LoggingSite() { QLocale::setDefault(QLocale::system()); }

    // As the preferences window saves a choice.
    void chooseFolder(const QString& folder) {
        writeFile(doubles.resources.filePath(QStringLiteral("Log_Folder.txt")),
                  QDir::toNativeSeparators(folder).toUtf8() + '\n');
    }
    // Seconds of traffic: a converter frame at the start of each.
    void run(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            doubles.port.feed(kConverterFrame);
            doubles.timeline.advance(1000);
        }
    }
    QString logFile(const QString& folder) const { return folder + QLatin1Char('/') + kFileName; }
    QString logFile() const { return logFile(logFolder); }
    bool logOn() const { return monitor.controls().CheckBoxLog_checked; }
    QStringList messages() const { return doubles.notifier.messages; }
    bool stillDecodes() {
        monitor.stopDataConverter(); // nothing known until the next frame is decoded
        doubles.port.feed(kConverterFrame);
        doubles.timeline.advance(20);
        return monitor.state().U_in == 48.5 && monitor.controls().LabelValue_Uin.visible;
    }

    TestPlatform doubles;
    Monitor monitor{doubles.platform()};
    QString logFolder;
};

QByteArray lines(std::initializer_list<const char*> times) {
    QByteArray text;
    for (const char* time : times)
        text += QByteArray(time) + kConverterLine;
    return text;
}

} // namespace

class TestLogFaults : public QObject {
    Q_OBJECT
private slots:
    // A USB stick holding the log folder is pulled out: the message once, the Log box
    // unticked, the values still shown. With the folder back and the box ticked again, the
    // log starts a new file and goes on from the current second.
    void logFolderRemoved_messageOnceThenLogResumesWhenTickedAgain() {
        LoggingSite site;
        site.run(2);
        QCOMPARE(readAll(site.logFile()), kHeader + lines({"10:00:01", "10:00:02"}));

        QVERIFY(QDir(site.logFolder).removeRecursively());
        site.run(3);
        QCOMPARE(site.messages(), QStringList{UserTexts::kLogFailure});
        QVERIFY(!site.logOn());
        QVERIFY(site.stillDecodes());

        QVERIFY(QDir().mkpath(site.logFolder));
        site.monitor.setLogChecked(true);
        site.run(2);
        QCOMPARE(readAll(site.logFile()), kHeader + lines({"10:00:06", "10:00:07"}));
        QCOMPARE(site.messages().size(), 1);
    }

    // The user points the log at a place that cannot take files (a plain file there, as a
    // write-protected folder is for anyone but root). The lines already in the previous
    // folder stay whole; after a new choice and a tick of the box, logging goes on there.
    void logFolderUnwritable_messageEarlierLinesKeptNewFolderTakesOver() {
        LoggingSite site;
        site.run(2);
        const QByteArray logged = readAll(site.logFile());

        const QString blocked = site.doubles.dir.path() + QStringLiteral("/ReadOnlyLogs");
        QVERIFY(writeFile(blocked, "not a folder"));
        site.chooseFolder(blocked);
        site.run(2);
        QCOMPARE(site.messages(), QStringList{UserTexts::kLogFailure});
        QVERIFY(!site.logOn());
        QCOMPARE(readAll(site.logFile()), logged);
        QVERIFY(site.stillDecodes());

        const QString other = site.doubles.dir.path() + QStringLiteral("/OtherLogs");
        QVERIFY(QDir().mkpath(other));
        site.chooseFolder(other);
        site.monitor.setLogChecked(true);
        site.run(1);
        QCOMPARE(readAll(site.logFile(other)), kHeader + lines({"10:00:05"}));
        QCOMPARE(readAll(site.logFile()), logged);
    }

    // The file system fills up in the middle of a day's file: the message, the box
    // unticked, every line logged before intact and no partial line left. With space again
    // and the box ticked, lines go on in the same file.
    void fileSystemFull_earlierLinesIntactNoPartialLine() {
#ifdef Q_OS_UNIX
        LoggingSite site;
        site.run(3);
        const QByteArray logged = readAll(site.logFile());
        QCOMPARE(logged, kHeader + lines({"10:00:01", "10:00:02", "10:00:03"}));
        {
            FileSizeLimit full(logged.size() + 10); // room for a part of the next line only
            if (!full.isActive())
                QSKIP("the system refuses a file-size limit");
            site.run(2);
        }
        QCOMPARE(site.messages(), QStringList{UserTexts::kLogFailure});
        QVERIFY(!site.logOn());
        QCOMPARE(readAll(site.logFile()), logged);
        QVERIFY(site.stillDecodes());

        site.monitor.setLogChecked(true);
        site.run(1);
        QCOMPARE(readAll(site.logFile()), logged + lines({"10:00:06"}));
#else
        QSKIP("file-size limits are a POSIX facility");
#endif
    }

    // The file system is full as the preferences window saves a new log folder: the save
    // reports its failure (the window then tells the user) and the previous setting, whole,
    // stays in force.
    void fileSystemFullWhileSavingLogFolder_previousSettingKept() {
#ifdef Q_OS_UNIX
        LoggingSite site;
        const QString settingsPath = site.doubles.resources.filePath(QStringLiteral("Log_Folder.txt"));
        const QByteArray before = readAll(settingsPath);
        const LogFolderSetting setting(site.doubles.resources, site.doubles.userFolders);
        {
            FileSizeLimit full(0);
            if (!full.isActive())
                QSKIP("the system refuses a file-size limit");
            QVERIFY(!setting.writeLogPathFile(QDir::toNativeSeparators(site.doubles.dir.path())));
        }
        QCOMPARE(readAll(settingsPath), before);
        site.run(1);
        QCOMPARE(readAll(site.logFile()), kHeader + lines({"10:00:01"}));
#else
        QSKIP("file-size limits are a POSIX facility");
#endif
    }

    // A device that reports "no space left" for every write (/dev/full where the day's file
    // should be): the message once and the box unticked.
    void deviceFull_messageOnceAndLogOff() {
        LoggingSite site;
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("this system has no /dev/full");
        if (!QFile::link(QStringLiteral("/dev/full"), site.logFile()))
            QSKIP("cannot link the day's file to /dev/full here");
        site.run(3);
        QCOMPARE(site.messages(), QStringList{UserTexts::kLogFailure});
        QVERIFY(!site.logOn());
        QVERIFY(site.stillDecodes());
    }

    // "Log_Folder.txt" damaged: where the log goes. A setting that names no folder gives the
    // Documents folder; one that names a place no file can go tells the user.
    void damagedLogFolderFile_whereTheLogGoes_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("toDocuments"); // else: the message, and the box unticked
        QTest::newRow("empty file: Documents") << QByteArray() << true;
        QTest::newRow("bytes that are no text: Documents")
            << QByteArray("\xFF\xFE\x00\x81\x00\n/tmp\n", 12) << true;
        QTest::newRow("relative path: Documents") << QByteArray("Logs/today\n") << true;
        QTest::newRow("overlong path line: the message") << QByteArray("/") + QByteArray(20000, 'a') + "\n"
                                                         << false;
        QTest::newRow("huge file of line feeds: Documents") << QByteArray(4 * 1024 * 1024, '\n') << true;
    }
    void damagedLogFolderFile_whereTheLogGoes() {
        QFETCH(QByteArray, content);
        QFETCH(bool, toDocuments);
        LoggingSite site;
        QVERIFY(writeFile(site.doubles.resources.filePath(QStringLiteral("Log_Folder.txt")), content));
        site.run(2);
        const QString documents = site.doubles.userFolders.documents();
        if (toDocuments) {
            QCOMPARE(readAll(site.logFile(documents)), kHeader + lines({"10:00:01", "10:00:02"}));
            QVERIFY(site.messages().isEmpty());
            QVERIFY(site.logOn());
        } else {
            QCOMPARE(site.messages(), QStringList{UserTexts::kLogFailure});
            QVERIFY(!site.logOn());
        }
        QVERIFY(site.stillDecodes());
    }

    // A folder where "Log_Folder.txt" should be: the Documents folder, nothing to tell.
    void folderInPlaceOfLogFolderFile_logsToDocuments() {
        LoggingSite site;
        const QString settings = site.doubles.resources.filePath(QStringLiteral("Log_Folder.txt"));
        QVERIFY(QFile::remove(settings));
        QVERIFY(QDir().mkpath(settings));
        site.run(2);
        QCOMPARE(readAll(site.logFile(site.doubles.userFolders.documents())),
                 kHeader + lines({"10:00:01", "10:00:02"}));
        QVERIFY(site.messages().isEmpty());
    }

    // A "Log_Folder.txt" of hundreds of megabytes without a line end, read twice a second:
    // only the start of its first line is read, so memory does not balloon; the log goes to
    // the Documents folder.
    void hugeLogFolderFile_readBoundedLogsToDocuments() {
#ifdef Q_OS_UNIX
        LoggingSite site;
        QFile settings(site.doubles.resources.filePath(QStringLiteral("Log_Folder.txt")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        QVERIFY(settings.resize(qint64(256) << 20)); // sparse: no disk space taken
        settings.close();
        const qint64 peakBefore = peakResidentMemoryBytes();
        site.run(2);
        const qint64 grown = peakResidentMemoryBytes() - peakBefore;
        QVERIFY2(grown < (qint64(64) << 20),
                 qPrintable(QStringLiteral("peak memory grew by %1 MiB").arg(grown >> 20)));
        QCOMPARE(readAll(site.logFile(site.doubles.userFolders.documents())),
                 kHeader + lines({"10:00:01", "10:00:02"}));
        QVERIFY(site.messages().isEmpty());
#else
        QSKIP("peak memory is read through a POSIX facility");
#endif
    }
};

QTEST_GUILESS_MAIN(TestLogFaults)
#include "tst_logfaults.moc"

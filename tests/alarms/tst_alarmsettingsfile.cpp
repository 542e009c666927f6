#include "Unprivileged.h"
#include "alarms/AlarmSettingsFile.h"

#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

QLocale pointLocale() {
    return QLocale::c();
}
QLocale commaLocale() {
    return QLocale(QLocale::French, QLocale::France);
}

struct Settings {
    double uin;
    qint64 rpm;
    double temp;
    double pmax;
    qint64 mode;
    qint64 volume;
};

Settings settingsOf(const MonitorState& s) {
    return {s.ValeurAlarmeUin,     s.ValeurAlarmeRPM,  s.ValeurAlarmeTemp,
            s.ValeurHautePression, s.ValeurModeCalage, s.VolumeAlarmeHydro};
}

void compareSettings(const MonitorState& state, const Settings& expected) {
    const Settings actual = settingsOf(state);
    QCOMPARE(actual.uin, expected.uin);
    QCOMPARE(actual.rpm, expected.rpm);
    QCOMPARE(actual.temp, expected.temp);
    QCOMPARE(actual.pmax, expected.pmax);
    QCOMPARE(actual.mode, expected.mode);
    QCOMPARE(actual.volume, expected.volume);
}

const Settings kDefaults{53.0, 3000, 80.0, 5.0, 0, 100};

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(Settings)

class TestAlarmSettingsFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("Alarms_Settings.txt")); }

private slots:
    void init() { QFile::remove(path()); }

    void missingFileKeepsTheValues_data() {
        QTest::addColumn<QString>("filePath");
        QTest::newRow("no file") << dir_.filePath(QStringLiteral("Alarms_Settings.txt"));
        QTest::newRow("resource folder unknown") << QString();
        QTest::newRow("a folder in the file's place") << dir_.path();
    }
    void missingFileKeepsTheValues() {
        QFETCH(QString, filePath);
        MonitorState state;
        QVERIFY(!readAlarmsFile(state, filePath, pointLocale()));
        compareSettings(state, kDefaults);
    }

    void reads_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<Settings>("expected");
        QTest::newRow("defaults as written")
            << QByteArray("53.0\n3000\n80.0\n5.0\n0\n100\n") << false << kDefaults;
        QTest::newRow("three lines, the rest 0")
            << QByteArray("50.0\n2500\n70.0\n") << false << Settings{50.0, 2500, 70.0, 0.0, 0, 0};
        QTest::newRow("empty file, all 0") << QByteArray() << false << Settings{0, 0, 0, 0, 0, 0};
        QTest::newRow("abc as volume") << QByteArray("53.0\n3000\n80.0\n5.0\n0\nabc\n") << false
                                       << Settings{53.0, 3000, 80.0, 5.0, 0, 0};
        QTest::newRow("integers truncated toward zero") << QByteArray("53.0\n250.8\n80.0\n5.0\n-1.7\n99.9\n")
                                                        << false << Settings{53.0, 250, 80.0, 5.0, -1, 99};
        QTest::newRow("empty line in the middle")
            << QByteArray("53.0\n\n80.0\n5.0\n1\n100\n") << false << Settings{53.0, 0, 80.0, 5.0, 1, 100};
        QTest::newRow("comma locale reads 53,0")
            << QByteArray("53,0\n3000\n80,5\n4,5\n1\n60\n") << true << Settings{53.0, 3000, 80.5, 4.5, 1, 60};
        QTest::newRow("comma locale stops at a point") << QByteArray("53.5\n3000\n80.0\n5.0\n0\n100\n")
                                                       << true << Settings{53.0, 3000, 80.0, 5.0, 0, 100};
        QTest::newRow("CRLF line ends") << QByteArray("52.5\r\n2900\r\n75.0\r\n4.0\r\n1\r\n50\r\n") << false
                                        << Settings{52.5, 2900, 75.0, 4.0, 1, 50};
        QTest::newRow("no final line feed, extra lines ignored")
            << QByteArray("53.0\n3000\n80.0\n5.0\n0\n100\n7\n8") << false << kDefaults;
        QTest::newRow("last line without line feed")
            << QByteArray("53.0\n3000\n80.0\n5.0\n0\n42") << false << Settings{53.0, 3000, 80.0, 5.0, 0, 42};
        QTest::newRow("UTF-8 byte-order mark of a hand-edited file skipped")
            << QByteArray("\xEF\xBB\xBF" "50.0\r\n2500\r\n70.0\r\n4.0\r\n1\r\n60\r\n") << false
            << Settings{50.0, 2500, 70.0, 4.0, 1, 60};
    }
    void reads() {
        QFETCH(QByteArray, content);
        QFETCH(bool, comma);
        QFETCH(Settings, expected);
        QVERIFY(writeBytes(path(), content));
        MonitorState state;
        QVERIFY(readAlarmsFile(state, path(), comma ? commaLocale() : pointLocale()));
        compareSettings(state, expected);
    }

    void writes_data() {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("defaults, point")
            << kDefaults << false << QByteArray("53.0\n3000\n80.0\n5.0\n0\n100\n");
        QTest::newRow("defaults, comma")
            << kDefaults << true << QByteArray("53,0\n3000\n80,0\n5,0\n0\n100\n");
        QTest::newRow("60 writes 60.0") << Settings{60, 3000, 80.0, 5.0, 0, 100} << false
                                        << QByteArray("60.0\n3000\n80.0\n5.0\n0\n100\n");
        QTest::newRow("one decimal rounded, negatives")
            << Settings{53.06, -5, 79.94, -1, 1, 0} << false << QByteArray("53.1\n-5\n79.9\n-1.0\n1\n0\n");
        QTest::newRow("zeros after a short file")
            << Settings{50.0, 2500, 70.0, 0, 0, 0} << true << QByteArray("50,0\n2500\n70,0\n0,0\n0\n0\n");
    }
    void writes() {
        QFETCH(Settings, settings);
        QFETCH(bool, comma);
        QFETCH(QByteArray, content);
        // A longer previous file is replaced, not overwritten in place.
        QVERIFY(writeBytes(path(), QByteArray(500, '9')));
        MonitorState state;
        state.ValeurAlarmeUin = settings.uin;
        state.ValeurAlarmeRPM = settings.rpm;
        state.ValeurAlarmeTemp = settings.temp;
        state.ValeurHautePression = settings.pmax;
        state.ValeurModeCalage = settings.mode;
        state.VolumeAlarmeHydro = settings.volume;
        QString error = QStringLiteral("untouched");
        QVERIFY(writeAlarmsFile(state, path(), &error, comma ? commaLocale() : pointLocale()));
        QCOMPARE(readBytes(path()), content);
        QCOMPARE(error, QStringLiteral("untouched"));

        MonitorState readBack;
        QVERIFY(readAlarmsFile(readBack, path(), comma ? commaLocale() : pointLocale()));
        QCOMPARE(readBack.ValeurAlarmeRPM, settings.rpm);
        QCOMPARE(readBack.VolumeAlarmeHydro, settings.volume);
    }

    void writeFailureIsReported_data() {
        QTest::addColumn<QString>("filePath");
        QTest::newRow("a folder in the file's place") << dir_.filePath(QStringLiteral("folder"));
        QTest::newRow("a file in the folder's place")
            << dir_.filePath(QStringLiteral("plain/Alarms_Settings.txt"));
        QTest::newRow("resource folder unknown") << QString();
    }
    void writeFailureIsReported() {
        QFETCH(QString, filePath);
        QDir(dir_.path()).mkpath(QStringLiteral("folder"));
        QVERIFY(writeBytes(dir_.filePath(QStringLiteral("plain")), "not a folder"));
        MonitorState state;
        QString error;
        QVERIFY(!writeAlarmsFile(state, filePath, &error, pointLocale()));
        QVERIFY(error.startsWith(QStringLiteral("The alarm settings could not be saved")));
        if (!filePath.isEmpty())
            QVERIFY2(error.contains(QDir::toNativeSeparators(filePath)), qPrintable(error));
        QVERIFY(!writeAlarmsFile(state, filePath, nullptr, pointLocale())); // no error text wanted
        QCOMPARE(state.ValeurAlarmeUin, 53.0);                              // values stay in memory
    }

    // Neither the folder nor the file may be written: reported, the previous settings intact.
    void writeFailureInReadOnlyFolder() {
        VELMORA_RUN_UNPRIVILEGED();
        const QString folder = dir_.filePath(QStringLiteral("readonly"));
        QDir(dir_.path()).mkpath(QStringLiteral("readonly"));
        const QString file = folder + QStringLiteral("/Alarms_Settings.txt");
        QVERIFY(writeBytes(file, "50.0\n2500\n70.0\n0.0\n0\n0\n"));
        QFile::setPermissions(file, QFileDevice::ReadOwner);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(folder,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        });
        MonitorState state;
        QString error;
        QVERIFY(!writeAlarmsFile(state, file, &error, pointLocale()));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readBytes(file), QByteArray("50.0\n2500\n70.0\n0.0\n0\n0\n")); // previous settings intact
    }

    // A writable file in a folder that may not be written is written in place. When that
    // write fails (a full disk; here a file size limit of 0 bytes makes every write fail), the
    // failure is reported and the file is still there to be written again: it is not removed.
    void failedWriteInPlaceLeavesTheFile() {
#ifndef Q_OS_UNIX
        QSKIP("No file size limit on this system.");
#else
        VELMORA_RUN_UNPRIVILEGED();
        const QString folder = dir_.filePath(QStringLiteral("installed"));
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("installed")));
        const QString file = folder + QStringLiteral("/Alarms_Settings.txt");
        QVERIFY(writeBytes(file, "50.0\n2500\n70.0\n0.0\n0\n0\n"));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(folder,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        });

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit none = saved;
        none.rlim_cur = 0;
        // Past the limit a write fails with EFBIG; the signal that would end the process is ignored.
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &none), 0);
        MonitorState state;
        QString error;
        const bool written = writeAlarmsFile(state, file, &error, pointLocale());
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!written);
        QVERIFY2(error.startsWith(QStringLiteral("The alarm settings could not be saved to %1: ")
                                      .arg(QDir::toNativeSeparators(file))),
                 qPrintable(error));
        QVERIFY(QFileInfo(file).isFile());
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("Alarms_Settings.txt")});
        // Once the disk has room again, the next save succeeds in place.
        QVERIFY(writeAlarmsFile(state, file, &error, pointLocale()));
        QCOMPARE(readBytes(file), QByteArray("53.0\n3000\n80.0\n5.0\n0\n100\n"));
#endif
    }

    // A huge or binary file in the settings' place is read only as far as six short lines.
    void oversizedFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Settings>("expected");
        QByteArray longFirstLine = "52.5" + QByteArray(8 * 1024 * 1024, 'x') + "\n3000\n80.0\n5.0\n0\n100\n";
        QTest::newRow("8 MiB first line") << longFirstLine << Settings{52.5, 0, 0, 0, 0, 0};
        QByteArray binary(4 * 1024 * 1024, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i % 2 ? 0xFF : 0x00);
        QTest::newRow("4 MiB of binary bytes") << binary << Settings{0, 0, 0, 0, 0, 0};
        QByteArray longDigits = QByteArray(300, '7') + "\n1\n2\n3\n4\n5\n";
        QTest::newRow("line longer than the cap")
            << longDigits << Settings{std::stod(std::string(256, '7')), 1, 2, 3, 4, 5};
        QByteArray manyLines;
        for (int i = 0; i < 200000; ++i)
            manyLines += QByteArray::number(i + 1) + '\n';
        QTest::newRow("200000 lines") << manyLines << Settings{1, 2, 3, 4, 5, 6};
    }
    void oversizedFiles() {
        QFETCH(QByteArray, content);
        QFETCH(Settings, expected);
        QVERIFY(writeBytes(path(), content));
        MonitorState state;
        QVERIFY(readAlarmsFile(state, path(), pointLocale()));
        compareSettings(state, expected);
    }

    void deviceInTheFilesPlaceIsNotRead() {
        const QString device = QStringLiteral("/dev/zero");
        if (!QFileInfo::exists(device))
            QSKIP("No /dev/zero on this system.");
        MonitorState state;
        QVERIFY(!readAlarmsFile(state, device, pointLocale()));
        compareSettings(state, kDefaults);
    }
};

QTEST_GUILESS_MAIN(TestAlarmSettingsFile)
#include "tst_alarmsettingsfile.moc"

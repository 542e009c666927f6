// Damaged settings files and a resource folder that cannot be written: the tool starts and
// runs on what it can read, tells the user when the alarm settings cannot be saved, and keeps
// the values in memory. Techniques that hold as root: a file or a folder standing where the
// other is expected, a removed folder, a file-size limit for a full file system.
#include "FakeSerialPort.h"
#include "Hex.h"
#include "TestPlatform.h"
#include "monitor/Monitor.h"
#include "core/NumberMask.h"
#include "link/Frame.h"

#ifdef Q_OS_UNIX
#include "FileSizeLimit.h"
#endif

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

#include <cmath>

namespace {

using Settings = QVector<double>; // the six alarm settings in file order

Settings settingsOf(const MonitorState& s) {
    return {s.ValeurAlarmeUin,     double(s.ValeurAlarmeRPM),  s.ValeurAlarmeTemp,
            s.ValeurHautePression, double(s.ValeurModeCalage), double(s.VolumeAlarmeHydro)};
}

const Settings kDefaults{53.0, 3000, 80.0, 5.0, 0, 100};

QByteArray converterFrame() {
    return Frame::withChecksum(hexBytes("00 01 10 10 01 E5 6A AE 14 00 00 00 01 60 03 F5 00 00"));
}

// The monitor on the test doubles, its resource folder in a temporary folder.
struct Site {
    TestPlatform doubles;
    Monitor monitor{doubles.platform()};

    QString resourceFolder() const { return doubles.resources.path(); }
    QString alarmsFile() const { return doubles.resources.filePath(QStringLiteral("Alarms_Settings.txt")); }
    void writeAlarmsFile(const QByteArray& content) {
        QFile file(alarmsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    QByteArray alarmsFileContent() const {
        QFile file(alarmsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The application still runs: connected, it decodes a converter frame.
    bool stillDecodes() {
        doubles.devices.setNames({QStringLiteral("ttyUSB0")});
        doubles.timeline.advance(500);
        if (!monitor.isConnected())
            monitor.ConnectButton_Action();
        doubles.port.feed(converterFrame());
        doubles.timeline.advance(10);
        return monitor.controls().LabelValue_Uin.visible &&
               monitor.controls().LabelValue_Uin.text == formatMask(48.5, QStringLiteral("0.00"));
    }
};

// Six lines as the tool writes them, in the current locale.
QByteArray sixLines(const Settings& values) {
    QByteArray content;
    const QStringList masks{QStringLiteral("0.0"), QStringLiteral("0"), QStringLiteral("0.0"),
                            QStringLiteral("0.0"), QStringLiteral("0"), QStringLiteral("0")};
    for (int i = 0; i < 6; ++i)
        content += formatMask(values[i], masks[i]).toUtf8() + '\n';
    return content;
}

} // namespace

class TestSettingsFaults : public QObject {
    Q_OBJECT
private slots:
    // What the alarm window shows after start-up when "Alarms_Settings.txt" is damaged.
    void damagedAlarmSettingsFile_readOnStartUp_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Settings>("expected");
        const Settings stored{48.0, 2500, 70.0, 4.5, 1, 60};
        QTest::newRow("empty file: every setting 0") << QByteArray() << Settings{0, 0, 0, 0, 0, 0};
        QTest::newRow("only line feeds: every setting 0")
            << QByteArray("\n\n\n\n\n\n") << Settings{0, 0, 0, 0, 0, 0};
        QTest::newRow("Windows line ends: read as usual") << sixLines(stored).replace("\n", "\r\n") << stored;
        QTest::newRow("NUL bytes in a line: the number before them")
            << QByteArray("4\x00"
                          "8.0\n2500\n70.0\n4.5\n1\n60\n",
                          24)
            << Settings{4, 2500, 70.0, 4.5, 1, 60};
        QTest::newRow("bytes that are no text: every setting 0")
            << QByteArray("\xFF\xFE\x80\x81\n\xC3\x28\n\xE2\x82\n\x00\x01\x02\n\x7F\n\x1B[2J\n", 22)
            << Settings{0, 0, 0, 0, 0, 0};
        QTest::newRow("overlong first line: cut, the other lines read as usual")
            << QByteArray(4000, '7') + '\n' + sixLines(stored).mid(sixLines(stored).indexOf('\n') + 1)
            << Settings{parseLocaleNumber(QString(256, QLatin1Char('7'))), 2500, 70.0, 4.5, 1, 60};
        QTest::newRow("huge file, the six lines first: the six lines")
            << sixLines(stored) + QByteArray(8 * 1024 * 1024, 'x') << stored;
    }
    void damagedAlarmSettingsFile_readOnStartUp() {
        QFETCH(QByteArray, content);
        QFETCH(Settings, expected);
        Site site;
        site.writeAlarmsFile(content);
        site.monitor.open();
        const Settings read = settingsOf(site.monitor.state());
        for (int i = 0; i < 6; ++i)
            QVERIFY2(
                std::isfinite(read[i]) && qFuzzyCompare(1 + read[i], 1 + expected[i]),
                qPrintable(
                    QStringLiteral("setting %1 is %2, expected %3").arg(i).arg(read[i]).arg(expected[i])));
        QVERIFY(site.doubles.notifier.messages.isEmpty()); // a damaged file is no reason to stop the user
        QVERIFY(site.stillDecodes());
        // The next save heals the file: six lines, nothing else.
        QVERIFY(site.monitor.writeAlarmsFile());
        QCOMPARE(site.alarmsFileContent(), sixLines(read));
    }

    // A folder where "Alarms_Settings.txt" should be: nothing is read (the defaults stay) and
    // saving tells the user, keeping the values in memory.
    void folderInPlaceOfAlarmSettingsFile_defaultsAndMessageOnSave() {
        Site site;
        QVERIFY(QDir().mkpath(site.alarmsFile()));
        site.monitor.open();
        QCOMPARE(settingsOf(site.monitor.state()), kDefaults);
        {
            AlarmSettingValues values = site.monitor.alarmSettings();
            values.ValeurAlarmeUin = 50.0;
            site.monitor.applyAlarmSettings(values);
        }
        QVERIFY(!site.monitor.writeAlarmsFile());
        QCOMPARE(site.doubles.notifier.messages.size(), 1);
        QVERIFY2(site.doubles.notifier.messages.first().startsWith(
                     QLatin1String("The alarm settings could not be saved")),
                 qPrintable(site.doubles.notifier.messages.first()));
        QCOMPARE(site.monitor.state().ValeurAlarmeUin, 50.0);
        QVERIFY(site.stillDecodes());
    }

    // The resource folder cannot take the file: replaced by a plain file (a read-only
    // installation as root sees it), or removed. Saving shows the message naming the file; the
    // values stay in memory, and the alarms go on using them.
    void resourceFolderUnwritable_messageOnSaveValuesKept_data() {
        QTest::addColumn<bool>("replacedByFile");
        QTest::newRow("a file in place of the resource folder") << true;
        QTest::newRow("resource folder removed") << false;
    }
    void resourceFolderUnwritable_messageOnSaveValuesKept() {
        QFETCH(bool, replacedByFile);
        Site site;
        site.writeAlarmsFile(sixLines(kDefaults));
        site.monitor.open();
        QVERIFY(QDir(site.resourceFolder()).removeRecursively());
        if (replacedByFile) {
            QFile blocker(site.resourceFolder());
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        { // as the alarm window stores an edit
            AlarmSettingValues values = site.monitor.alarmSettings();
            values.ValeurAlarmeUin = 40.0;
            site.monitor.applyAlarmSettings(values);
        }

        QVERIFY(!site.monitor.writeAlarmsFile());
        QCOMPARE(site.doubles.notifier.messages.size(), 1);
        const QString message = site.doubles.notifier.messages.first();
        QVERIFY2(message.contains(QDir::toNativeSeparators(site.alarmsFile())), qPrintable(message));
        QCOMPARE(site.monitor.state().ValeurAlarmeUin, 40.0);
        site.monitor.readAlarmsFile(); // the alarm window reopened: nothing to read, nothing lost
        QCOMPARE(site.monitor.state().ValeurAlarmeUin, 40.0);
        QVERIFY(site.stillDecodes());
        QCOMPARE(site.monitor.controls().Rect_AlertInputVoltage, AlertFill::AlertRed); // 48.5 V > 40 V
    }

    // The file system fills up while the alarm settings are saved: the message, the previous
    // file intact (it is replaced only once the new one is whole), the values in memory.
    void fileSystemFullWhileSavingAlarmSettings_messageAndPreviousFileIntact() {
#ifdef Q_OS_UNIX
        Site site;
        const QByteArray previous = sixLines(kDefaults);
        site.writeAlarmsFile(previous);
        site.monitor.open();
        {
            AlarmSettingValues values = site.monitor.alarmSettings();
            values.ValeurAlarmeTemp = 65.0;
            site.monitor.applyAlarmSettings(values);
        }
        {
            FileSizeLimit full(0);
            if (!full.isActive())
                QSKIP("the system refuses a file-size limit");
            QVERIFY(!site.monitor.writeAlarmsFile());
        }
        QCOMPARE(site.doubles.notifier.messages.size(), 1);
        QCOMPARE(site.alarmsFileContent(), previous);
        QCOMPARE(site.monitor.state().ValeurAlarmeTemp, 65.0);
        QVERIFY(site.monitor.writeAlarmsFile()); // space again: saved
        QCOMPARE(site.alarmsFileContent(), sixLines(settingsOf(site.monitor.state())));
        QVERIFY(site.stillDecodes());
#else
        QSKIP("file-size limits are a POSIX facility");
#endif
    }
};

QTEST_GUILESS_MAIN(TestSettingsFaults)
#include "tst_settingsfaults.moc"

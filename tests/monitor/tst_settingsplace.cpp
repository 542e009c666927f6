// Where the two settings files are read and written, on real folders: an installed copy,
// whose resource folder the user cannot write, keeps them in the user's settings folder and
// starts from the installation's copies; a writable resource folder keeps them where they
// always were; a writable file in a read-only folder is written in place.
#include "Files.h"
#include "TestPlatform.h"
#include "Unprivileged.h"
#include "datalog/LogFolderSetting.h"
#include "monitor/Monitor.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {

const QString kAlarms = QStringLiteral("Alarms_Settings.txt");
const QString kLogFolder = QStringLiteral("Log_Folder.txt");
const QFileDevice::Permissions kReadOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
const QFileDevice::Permissions kWritable = kReadOnly | QFileDevice::WriteOwner;

// An installation in a temporary folder: the resource folder share/velmora and the user's
// settings folder config/Orvane/Velmora, which does not exist until something is saved there.
struct Installation {
    TestPlatform doubles; // timers, port, messages, Documents folder
    QString resourcePath = doubles.dir.filePath(QStringLiteral("share/velmora"));
    QString userPath = doubles.dir.filePath(QStringLiteral("config/Orvane/Velmora"));
    FixedResourceFolder resources{resourcePath, userPath};

    Installation() { QDir().mkpath(resourcePath); }
    ~Installation() { setPermissions(kWritable); } // lets the temporary folder go
    Platform platform() {
        Platform p = doubles.platform();
        return Platform{p.clock, p.wallClock, p.timers, p.port, p.devices, p.notifier, p.sound, resources,
                        p.userFolders};
    }
    LogFolderSetting logFolderSetting() const { return LogFolderSetting(resources, doubles.userFolders); }
    // The folder and the files in it.
    void setPermissions(QFileDevice::Permissions folder, QFileDevice::Permissions files) {
        for (const QString& name : {kAlarms, kLogFolder})
            if (QFileInfo::exists(resourcePath + u'/' + name))
                QFile::setPermissions(resourcePath + u'/' + name, files | QFileDevice::ReadUser);
        QFile::setPermissions(resourcePath, folder);
    }
    void setPermissions(QFileDevice::Permissions both) { setPermissions(both, both); }
    // The installation's copies, as an administrator leaves them for every user.
    void writeSharedCopies() {
        writeFile(resourcePath + u'/' + kAlarms, "48.0\n2500\n70.0\n4.0\n1\n60\n");
        writeFile(resourcePath + u'/' + kLogFolder, "/srv/hydro/logs\n");
    }
    QString readLogFolder() const {
        QString folder;
        logFolderSetting().readLogPathFile(folder);
        return folder;
    }
    bool isWritable(const QString& path) const {
        QFile probe(path + QStringLiteral("/probe"));
        return probe.open(QIODevice::WriteOnly) && probe.remove();
    }
};

} // namespace

class TestSettingsPlace : public QObject {
    Q_OBJECT
private slots:
    // A build folder or a bundle the user may write: the files stay in the resource folder and
    // no user settings folder appears.
    void writableResourceFolder_filesStayThere() {
        Installation site;
        site.writeSharedCopies();
        Monitor monitor(site.platform());
        monitor.open();
        QCOMPARE(monitor.state().ValeurAlarmeUin, 48.0);
        QCOMPARE(site.readLogFolder(), QStringLiteral("/srv/hydro/logs"));

        {

            AlarmSettingValues values = monitor.alarmSettings();

            values.ValeurAlarmeUin = 44.0;

            monitor.applyAlarmSettings(values);

        }
        QVERIFY(monitor.writeAlarmsFile());
        QVERIFY(site.logFolderSetting().writeLogPathFile(QStringLiteral("/home/tech/Logs")));

        QVERIFY(readAll(site.resourcePath + u'/' + kAlarms).startsWith("44"));
        QCOMPARE(readAll(site.resourcePath + u'/' + kLogFolder), QByteArray("/home/tech/Logs\n"));
        QVERIFY(!QFileInfo::exists(site.userPath));
        QVERIFY(site.doubles.notifier.messages.isEmpty());
    }

    // An installed package: the installation's copies are read until the user saves; then the
    // user's files are written, read back after a restart, and the copies stay untouched.
    void readOnlyResourceFolder_savedToAndReadFromUserFolder() {
        VELMORA_RUN_UNPRIVILEGED();
        Installation site;
        site.writeSharedCopies();
        site.setPermissions(kReadOnly);
        QVERIFY(!site.isWritable(site.resourcePath));
        {
            Monitor monitor(site.platform());
            monitor.open();
            QCOMPARE(monitor.state().ValeurAlarmeUin, 48.0); // the installation's copy
            QCOMPARE(monitor.state().VolumeAlarmeHydro, 60);
            QCOMPARE(site.readLogFolder(), QStringLiteral("/srv/hydro/logs"));

            { // as the alarm window stores an edit

                AlarmSettingValues values = monitor.alarmSettings();

                values.ValeurAlarmeUin = 44.0;

                monitor.applyAlarmSettings(values);

            }
            QVERIFY(monitor.writeAlarmsFile());
            QVERIFY(site.logFolderSetting().writeLogPathFile(QStringLiteral("/home/tech/Logs")));
            QVERIFY2(site.doubles.notifier.messages.isEmpty(),
                     qPrintable(site.doubles.notifier.messages.join(u'\n')));
        }
        QVERIFY(readAll(site.userPath + u'/' + kAlarms).startsWith("44"));
        QCOMPARE(readAll(site.userPath + u'/' + kLogFolder), QByteArray("/home/tech/Logs\n"));
        QCOMPARE(readAll(site.resourcePath + u'/' + kAlarms), QByteArray("48.0\n2500\n70.0\n4.0\n1\n60\n"));
        QCOMPARE(readAll(site.resourcePath + u'/' + kLogFolder), QByteArray("/srv/hydro/logs\n"));

        Monitor restarted(site.platform());
        restarted.open();
        QCOMPARE(restarted.state().ValeurAlarmeUin, 44.0);
        QCOMPARE(restarted.state().ValeurAlarmeRPM, 2500); // the rest as the copy had them
        QCOMPARE(site.readLogFolder(), QStringLiteral("/home/tech/Logs"));
    }

    // No copies in the installation: the defaults, then the first save creates the user's folder.
    void readOnlyResourceFolderWithoutCopies_defaultsThenUserFolder() {
        VELMORA_RUN_UNPRIVILEGED();
        Installation site;
        site.setPermissions(kReadOnly);
        Monitor monitor(site.platform());
        monitor.open();
        QCOMPARE(monitor.state().ValeurAlarmeUin, 53.0);
        QCOMPARE(site.readLogFolder(), site.doubles.dir.filePath(QStringLiteral("Documents")));

        QVERIFY(monitor.writeAlarmsFile());
        QVERIFY(QFileInfo(site.userPath + u'/' + kAlarms).isFile());
        QVERIFY(!QFileInfo::exists(site.resourcePath + u'/' + kAlarms));
    }

    // A read-only folder whose settings files are writable (an administrator opened them to
    // the user): written in place through QSaveFile's direct write, whether or not a user
    // settings folder exists.
    void onlyTheFilesWritable_writtenInPlace() {
        VELMORA_RUN_UNPRIVILEGED();
        for (const bool withUserFolder : {false, true}) {
            Installation site;
            site.writeSharedCopies();
            site.setPermissions(kReadOnly, kReadOnly | QFileDevice::WriteOwner);
            QVERIFY(!site.isWritable(site.resourcePath));
            FixedResourceFolder resourcesOnly(site.resourcePath);
            const ResourceFolder& resources =
                withUserFolder ? static_cast<const ResourceFolder&>(site.resources) : resourcesOnly;
            Platform base = site.platform();
            Monitor monitor(Platform{base.clock, base.wallClock, base.timers, base.port, base.devices,
                                     base.notifier, base.sound, resources, base.userFolders});
            monitor.open();
            {
                AlarmSettingValues values = monitor.alarmSettings();
                values.ValeurAlarmeUin = 44.0;
                monitor.applyAlarmSettings(values);
            }
            QVERIFY(monitor.writeAlarmsFile());
            QVERIFY(LogFolderSetting(resources, site.doubles.userFolders)
                        .writeLogPathFile(QStringLiteral("/home/tech/Logs")));

            QVERIFY(readAll(site.resourcePath + u'/' + kAlarms).startsWith("44"));
            QCOMPARE(readAll(site.resourcePath + u'/' + kLogFolder), QByteArray("/home/tech/Logs\n"));
            QVERIFY(!QFileInfo::exists(site.userPath));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsPlace)
#include "tst_settingsplace.moc"

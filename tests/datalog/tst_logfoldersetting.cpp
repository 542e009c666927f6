#include "TestPlatform.h"
#include "datalog/LogFolderSetting.h"

#include <QDir>
#include <QFile>
#include <QTest>

// The log folder setting kept in "Log_Folder.txt": which folder each content gives, and
// how the settings window's text is saved.
class TestLogFolderSetting : public QObject {
    Q_OBJECT
private:
    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    // Contents use "$TMP" for the test's temporary folder; "-" in settingsFile means no file.
    void readLogPathFile_data() {
        QTest::addColumn<QByteArray>("settingsFile");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("expected");
        const QByteArray none = "-";
        QTest::newRow("absent gives Documents") << none << ""
                                                << "$TMP/Documents";
        QTest::newRow("absent keeps a folder set earlier") << none << "$TMP/Earlier"
                                                           << "$TMP/Earlier";
        QTest::newRow("first line used, rest ignored") << QByteArray("$TMP/Logs\n$TMP/Other\nnoise") << ""
                                                       << "$TMP/Logs";
        QTest::newRow("first line without line end") << QByteArray("$TMP/Logs") << ""
                                                     << "$TMP/Logs";
        QTest::newRow("carriage return dropped") << QByteArray("$TMP/Logs\r\n") << ""
                                                 << "$TMP/Logs";
        QTest::newRow("folder that does not exist is accepted") << QByteArray("$TMP/not yet made\n") << ""
                                                                << "$TMP/not yet made";
        QTest::newRow("file replaces a folder set earlier") << QByteArray("$TMP/Logs\n") << "$TMP/Earlier"
                                                            << "$TMP/Logs";
        QTest::newRow("empty line falls back to Documents") << QByteArray("\n$TMP/Logs\n") << "$TMP/Earlier"
                                                            << "$TMP/Documents";
        QTest::newRow("empty file falls back to Documents") << QByteArray("") << ""
                                                            << "$TMP/Documents";
        QTest::newRow("blank line falls back to Documents") << QByteArray("   \n") << ""
                                                            << "$TMP/Documents";
        QTest::newRow("relative path falls back to Documents") << QByteArray("Logs\n") << ""
                                                               << "$TMP/Documents";
        QTest::newRow("UTF-8 byte-order mark of a hand-edited file skipped")
            << QByteArray("\xEF\xBB\xBF$TMP/Logs\r\n") << "" << "$TMP/Logs";
    }
    void readLogPathFile() {
        QFETCH(QByteArray, settingsFile);
        QFETCH(QString, before);
        QFETCH(QString, expected);
        TestPlatform platform;
        const QString tmp = platform.dir.path();
        if (settingsFile != "-")
            writeFile(platform.resources.filePath(LogFolderSetting::fileName()),
                      QByteArray(settingsFile).replace("$TMP", tmp.toUtf8()));
        LogFolderSetting setting(platform.resources, platform.userFolders);

        QString LogFolder = QString(before).replace(QStringLiteral("$TMP"), tmp);
        setting.readLogPathFile(LogFolder);
        QCOMPARE(LogFolder, QString(expected).replace(QStringLiteral("$TMP"), tmp));
    }

    void settingsFileThatCannotBeOpenedGivesDocuments() {
        TestPlatform platform;
        QDir().mkpath(platform.resources.filePath(LogFolderSetting::fileName())); // a folder in its place
        LogFolderSetting setting(platform.resources, platform.userFolders);
        QString LogFolder = platform.dir.path() + QStringLiteral("/Earlier");
        setting.readLogPathFile(LogFolder);
        QCOMPARE(LogFolder, platform.userFolders.documents());
    }

    void noResourceFolderKeepsTheFolder() {
        TestPlatform platform;
        FixedResourceFolder nowhere{QString()};
        LogFolderSetting setting(nowhere, platform.userFolders);
        QString LogFolder = QStringLiteral("/earlier/logs");
        setting.readLogPathFile(LogFolder);
        QCOMPARE(LogFolder, QStringLiteral("/earlier/logs"));
        LogFolder.clear();
        setting.readLogPathFile(LogFolder);
        QCOMPARE(LogFolder, QString());
        QVERIFY(!setting.writeLogPathFile(QStringLiteral("/new/logs")));
    }

    // Without a Documents folder the logs go to the home folder.
    void defaultFolder_data() {
        QTest::addColumn<QString>("documents");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Documents") << "$TMP/Documents"
                                   << "$TMP/Documents";
        QTest::newRow("no Documents folder known") << ""
                                                   << "$TMP/home";
        QTest::newRow("Documents folder missing on disk") << "$TMP/Gone"
                                                          << "$TMP/home";
    }
    void defaultFolder() {
        QFETCH(QString, documents);
        QFETCH(QString, expected);
        TestPlatform platform;
        const QString tmp = platform.dir.path();
        FixedUserFolders folders(documents.replace(QStringLiteral("$TMP"), tmp),
                                 tmp + QStringLiteral("/home"));
        LogFolderSetting setting(platform.resources, folders);
        QString LogFolder;
        setting.readLogPathFile(LogFolder);
        QCOMPARE(LogFolder, expected.replace(QStringLiteral("$TMP"), tmp));
    }

    void writeReplacesTheFileWithOneLine_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("folder path") << "/Users/tech/Logs hydro";
        QTest::newRow("empty text from a cancelled choice") << "";
        QTest::newRow("path longer than the field's typing limit")
            << "/Users/tech/" + QString(90, QLatin1Char('x')) + "/Journal des \u00e9v\u00e9nements";
    }
    void writeReplacesTheFileWithOneLine() {
        QFETCH(QString, text);
        TestPlatform platform;
        const QString path = platform.resources.filePath(LogFolderSetting::fileName());
        writeFile(path, "/a much longer previous setting that must not survive\nsecond line\n");
        LogFolderSetting setting(platform.resources, platform.userFolders);

        QVERIFY(setting.writeLogPathFile(text));
        QCOMPARE(readAll(path), text.toUtf8() + '\n');

        // And the setting reads back as it was written.
        QString LogFolder;
        setting.readLogPathFile(LogFolder);
        QCOMPARE(LogFolder, text.isEmpty() ? platform.userFolders.documents() : text);
    }

    void writeIntoAMissingResourceFolderFails() {
        TestPlatform platform;
        FixedResourceFolder gone{platform.dir.path() + QStringLiteral("/no such folder")};
        LogFolderSetting setting(gone, platform.userFolders);
        QVERIFY(!setting.writeLogPathFile(QStringLiteral("/logs")));
        QVERIFY(!QFile::exists(gone.filePath(LogFolderSetting::fileName())));
    }
};

QTEST_GUILESS_MAIN(TestLogFolderSetting)
#include "tst_logfoldersetting.moc"

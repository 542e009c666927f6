#include "FileDialogAnswerer.h"
#include "Files.h"
#include "NoBrowser.h"
#include "TestPlatform.h"
#include "app/LinkOpener.h"
#include "app/MainMenuBar.h"
#include "app/WindowMain.h"
#include "datalog/LogFolderSetting.h"
#include "datalog/ui/WindowPreferences.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray kHeader7 = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];\n";

// A monitor connected through one adapter, with the preferences window at hand.
struct Bench {
    Bench() {
        platform.timeline.setWallClock(QDateTime(QDate(2026, 3, 14), QTime(10, 0, 0)));
        platform.devices.setNames({QStringLiteral("cu.usbserial-FT4ABCDE")});
        platform.timeline.advance(500); // the device list fills
        monitor.ConnectButton_Action();
    }
    QString settingsFile() const { return platform.resources.filePath(LogFolderSetting::fileName()); }
    QString tmp() const { return platform.dir.path(); }

    TestPlatform platform;
    Monitor monitor{platform.platform()};
};

} // namespace

class TestWindowPreferences : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void layout() {
        Bench bench;
        WindowPreferences window(bench.monitor); // as the Edit menu builds it
        window.show();

        QCOMPARE(window.windowTitle(), QStringLiteral("Preferences"));
        QCOMPARE(window.size(), QSize(600, 324));
        QCOMPARE(window.minimumSize(), window.maximumSize()); // not resizable
        auto* label = window.findChild<QLabel*>(QStringLiteral("Label1"));
        auto* field = window.findChild<QLineEdit*>(QStringLiteral("TextField_Log_Path"));
        auto* select = window.findChild<QPushButton*>(QStringLiteral("PushButton2"));
        auto* ok = window.findChild<QPushButton*>(QStringLiteral("PushButton1"));
        QVERIFY(label && field && select && ok);
        QCOMPARE(label->text(), QStringLiteral("Dossier d'enregistrement des logs :"));
        QCOMPARE(label->geometry(), QRect(20, 53, 378, 20));
        QCOMPARE(field->geometry(), QRect(20, 77, 378, 22));
        QVERIFY(field->isReadOnly());
        QVERIFY(field->alignment() & Qt::AlignRight);
        QCOMPARE(select->text(), QStringLiteral("Folder Selection"));
        QCOMPARE(select->geometry(), QRect(436, 78, 136, 20));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), QRect(231, 281, 138, 23));
        QVERIFY(ok->isDefault());
        QVERIFY(!select->isDefault());
    }

    // Opening re-reads the setting and shows the folder's native path.
    void openingShowsTheLogFolder_data() {
        QTest::addColumn<QByteArray>("settingsFile");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no settings file: Documents") << QByteArray("-") << "$TMP/Documents";
        QTest::newRow("first line of the settings file") << QByteArray("$TMP/Logs\nignored\n") << "$TMP/Logs";
        QTest::newRow("empty line: Documents") << QByteArray("\n") << "$TMP/Documents";
    }
    void openingShowsTheLogFolder() {
        QFETCH(QByteArray, settingsFile);
        QFETCH(QString, shown);
        Bench bench;
        if (settingsFile != "-")
            writeFile(bench.settingsFile(), settingsFile.replace("$TMP", bench.tmp().toUtf8()));
        WindowPreferences window(bench.monitor);
        window.show();

        const QString folder = shown.replace(QStringLiteral("$TMP"), bench.tmp());
        QCOMPARE(bench.monitor.state().LogFolder, folder);
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("TextField_Log_Path"))->text(),
                 QDir::toNativeSeparators(folder));
    }

    void folderSelection_data() {
        QTest::addColumn<bool>("chosen");
        QTest::newRow("folder chosen") << true;
        QTest::newRow("cancelled empties the field") << false;
    }
    void folderSelection() {
        QFETCH(bool, chosen);
        Bench bench;
        const QString logs = bench.tmp() + QStringLiteral("/Logs");
        QDir().mkpath(logs);
        FileDialogAnswerer dialogs(chosen ? logs : QString());
        WindowPreferences window(bench.monitor);
        window.show();

        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PushButton2")), Qt::LeftButton);

        QCOMPARE(dialogs.offers.size(), 1);
        const FileDialogAnswerer::Offer& offer = dialogs.offers.constFirst();
        QCOMPARE(offer.acceptLabel, QStringLiteral("Select Folder"));
        QCOMPARE(offer.rejectLabel, QStringLiteral("Cancel Button"));
        QCOMPARE(offer.title, QStringLiteral("Title bar text"));
        QCOMPARE(offer.lookInLabel, QStringLiteral("Select Log Folder"));
        QCOMPARE(offer.position, QPoint(50, 50));
        QCOMPARE(offer.folder, bench.platform.userFolders.documents());
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("TextField_Log_Path"))->text(),
                 chosen ? QDir::toNativeSeparators(logs) : QString());
    }

    // Every way of closing saves the field, changed or not; a missing file is created.
    void closingSaves_data() {
        QTest::addColumn<QString>("closedBy");
        QTest::newRow("OK") << "OK";
        QTest::newRow("Return presses OK") << "Return";
        QTest::newRow("close box") << "close box";
    }
    void closingSaves() {
        QFETCH(QString, closedBy);
        Bench bench;
        QVERIFY(!QFile::exists(bench.settingsFile()));
        WindowPreferences window(bench.monitor);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        if (closedBy == "OK")
            QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PushButton1")), Qt::LeftButton);
        else if (closedBy == "Return")
            QTest::keyClick(&window, Qt::Key_Return);
        else
            window.close();

        QVERIFY(!window.isVisible());
        QCOMPARE(readAll(bench.settingsFile()),
                 QDir::toNativeSeparators(bench.platform.userFolders.documents()).toUtf8() + '\n');
        QVERIFY(bench.platform.notifier.messages.isEmpty());
    }

    // The folder chosen and confirmed takes the next logging tick into that folder, with a
    // new file and its header.
    void nextTickLogsIntoTheChosenFolder() {
        Bench bench;
        const QString name = QStringLiteral("/2026_03_14_LogOrvane_FT4ABCDE.csv");
        bench.platform.timeline.advance(500);
        QVERIFY(QFile::exists(bench.platform.userFolders.documents() + name));

        const QString logs = bench.tmp() + QStringLiteral("/Logs");
        QDir().mkpath(logs);
        FileDialogAnswerer dialogs(logs);
        WindowPreferences window(bench.monitor);
        window.show();
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PushButton2")), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PushButton1")), Qt::LeftButton);
        QCOMPARE(readAll(bench.settingsFile()), QDir::toNativeSeparators(logs).toUtf8() + '\n');

        // The next tick, still within the second last logged, starts the new file.
        bench.platform.timeline.advance(500);
        QCOMPARE(readAll(logs + name), kHeader7);
        bench.platform.timeline.advance(500);
        const QByteArray file = readAll(logs + name);
        QVERIFY2(file.startsWith(kHeader7 + "10:00:02;") && file.count('\n') == 3, file.constData());
    }

    // A cancelled choice saves an empty line; the logs then go to Documents.
    void cancelledChoiceFallsBackToDocuments() {
        Bench bench;
        const QString logs = bench.tmp() + QStringLiteral("/Logs");
        QDir().mkpath(logs);
        writeFile(bench.settingsFile(), logs.toUtf8() + '\n');
        FileDialogAnswerer dialogs; // cancelled
        WindowPreferences window(bench.monitor);
        window.show();
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PushButton2")), Qt::LeftButton);
        QCOMPARE(dialogs.offers.size(), 1);
        window.close();
        QCOMPARE(readAll(bench.settingsFile()), QByteArray("\n"));

        bench.platform.timeline.advance(500);

        QCOMPARE(bench.monitor.state().LogFolder, bench.platform.userFolders.documents());
        QVERIFY(QFile::exists(bench.platform.userFolders.documents() + "/2026_03_14_LogOrvane_FT4ABCDE.csv"));
        QVERIFY(QDir(logs).isEmpty());
    }

    // The setting cannot be saved: the user is told, and logging goes on in the folder
    // that was in force.
    void saveFailureIsToldAndLoggingGoesOn() {
        Bench bench;
        const QString logs = bench.tmp() + QStringLiteral("/Logs");
        QDir().mkpath(logs);
        writeFile(bench.settingsFile(), logs.toUtf8() + '\n');
        WindowPreferences window(bench.monitor);
        window.show();
        QCOMPARE(bench.monitor.state().LogFolder, logs);

        QVERIFY(QDir(bench.platform.resources.path()).removeRecursively()); // resource folder gone
        FileDialogAnswerer dialogs(bench.tmp() + QStringLiteral("/Elsewhere"));
        QDir().mkpath(dialogs.answer);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PushButton2")), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PushButton1")), Qt::LeftButton);

        QCOMPARE(bench.platform.notifier.messages, QStringList{WindowPreferences::saveFailureMessage()});
        bench.platform.timeline.advance(500);
        QCOMPARE(bench.monitor.state().LogFolder, logs);
        QVERIFY(QFile::exists(logs + "/2026_03_14_LogOrvane_FT4ABCDE.csv"));
        QCOMPARE(bench.platform.notifier.messages.size(), 1);
    }

    // Edit > Settings shows this window modally over the main window; closing it saves.
    void editSettingsOpensThePreferences() {
        TestPlatform platform;
        NoBrowser browser;
        WindowMain main(platform.platform(), browser);
        main.show();
        QString title;
        QString shownPath;
        QTimer::singleShot(0, &main, [&] {
            auto* window = qobject_cast<WindowPreferences*>(QApplication::activeModalWidget());
            if (!window)
                return;
            title = window->windowTitle();
            shownPath = window->findChild<QLineEdit*>(QStringLiteral("TextField_Log_Path"))->text();
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("PushButton1")), Qt::LeftButton);
        });

        main.mainMenuBar()->itemNamed(QStringLiteral("EditPreferences"))->trigger(); // returns once closed

        QCOMPARE(title, QStringLiteral("Preferences"));
        QCOMPARE(shownPath, QDir::toNativeSeparators(platform.userFolders.documents()));
        QCOMPARE(readAll(platform.resources.filePath(LogFolderSetting::fileName())),
                 shownPath.toUtf8() + '\n');
    }
};

QTEST_MAIN(TestWindowPreferences)
#include "tst_windowpreferences.moc"

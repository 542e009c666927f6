// The application in French, as under LANG=fr_FR.UTF-8 (set for this test by CMake): the
// translation chosen from the system's locale, the menus and the main window in French, and
// the texts that devices rely on unchanged. English stays the default.
#include "MessageBoxAnswerer.h"
#include "NoBrowser.h"
#include "TestPlatform.h"
#include "UserTexts.h"
#include "alarms/ui/WindowAlarms.h"
#include "app/LinkOpener.h"
#include "app/MainMenuBar.h"
#include "app/MessageBoxNotifier.h"
#include "app/Translations.h"
#include "app/WindowMain.h"
#include "core/Captions.h"
#include "core/MonitorState.h"
#include "display/GaugeGeometry.h"
#include "eeprom/EepromCatalogue.h"
#include "link/Connection.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

class TestFrench : public QObject {
    Q_OBJECT
private slots:
    void englishLocale_noTranslationInstalled() {
        QVERIFY(!installTranslations(*qApp, QLocale(QLocale::English, QLocale::UnitedKingdom)));
        QCOMPARE(App::text(App::Caption::kConnectCaption), QStringLiteral("Connect"));
    }

    void frenchSystemLocale_menusAndWindowInFrench() {
        QCOMPARE(QLocale::system().language(), QLocale::French); // LANG=fr_FR.UTF-8
        QVERIFY(installTranslations(*qApp));

        TestPlatform platform;
        NoBrowser browser;
        auto* menuBar = new MainMenuBar;
        WindowMain window(platform.platform(), browser, menuBar);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QList<QPair<const char*, const char*>> menus{{"FileMenu", "&Fichier"},
                                                           {"EditMenu", "É&dition"},
                                                           {"ViewMenu", "&Affichage"},
                                                           {"AlarmesMenu", "Alarmes"},
                                                           {"HPUMenu", "HPU"}};
        for (const auto& [name, text] : menus)
            QCOMPARE(menuBar->menuNamed(QLatin1String(name))->title(), QString::fromUtf8(text));
        const QList<QPair<const char*, const char*>> items{{"FileQuit", "&Quitter"},
                                                           {"EditUndo", "&Annuler"},
                                                           {"EditCut", "Cou&per"},
                                                           {"EditCopy", "&Copier"},
                                                           {"EditPaste", "C&oller"},
                                                           {"EditClear", "&Supprimer"},
                                                           {"EditSelectAll", "&Tout sélectionner"},
                                                           {"EditPreferences", "Réglages"},
                                                           {"Alarmes", "Alarmes visuelles"},
                                                           {"HPUEEPROM", "EEPROM"},
                                                           {"FileOpenLog", "Ouvrir un journal…"},
                                                           {"FileRecordBus", "&Enregistrer le bus…"},
                                                           {"ViewTrends", "Tendances"}};
        for (const auto& [name, text] : items)
            QCOMPARE(menuBar->itemNamed(QLatin1String(name))->text(), QString::fromUtf8(text));

        QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("ConnectButton"))->text(),
                 QStringLiteral("Connecter"));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("LabelName_Uin"))->text(),
                 QStringLiteral("Tension hydro [V]"));
        auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("TabPanel1"));
        QVERIFY(tabs);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Valeurs"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Flux brut"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Velmora")); // the product's name stays

        // The longer French texts fit the fixed layout: no caption runs under its value.
        QStringList tooLong;
        auto check = [&tooLong](const QWidget* control, const QString& text) {
            const int needed = control->fontMetrics().horizontalAdvance(text);
            if (needed > control->width())
                tooLong << QStringLiteral("%1: \"%2\" needs %3 px, has %4")
                               .arg(control->objectName(), text)
                               .arg(needed)
                               .arg(control->width());
        };
        for (const QLabel* label : window.findChildren<QLabel*>())
            if (label->objectName().startsWith(QLatin1String("LabelName_")) ||
                label->objectName() == QLatin1String("Label1") ||
                label->objectName() == QLatin1String("Label2"))
                check(label, label->text());
        for (const QPushButton* button : window.findChildren<QPushButton*>())
            check(button, button->text());
        QVERIFY2(tooLong.isEmpty(), qPrintable(tooLong.join(QStringLiteral("; "))));
    }

    // The gauge's scale in French, its low end's word starting where "LOW" starts, within a space.
    void frenchGauge_scaleWordsInPlace() {
        MonitorState state;
        const GaugeGeometry gauge = paintGauge(state, 300, 135);
        QCOMPARE(gauge.lowText, QStringLiteral("Vitesse :    BAS"));
        QCOMPARE(gauge.highText, QStringLiteral("HAUT"));
        const QFontMetricsF metrics(QFont(gauge.fontFamily, gauge.fontPointSize));
        const auto lastWordAt = [&metrics](const QString& text) {
            return metrics.horizontalAdvance(text.left(text.lastIndexOf(QLatin1Char(' ')) + 1));
        };
        const qreal french = lastWordAt(gauge.lowText);
        const qreal english = lastWordAt(QStringLiteral("Speed :     LOW"));
        QVERIFY2(qAbs(french - english) <= metrics.horizontalAdvance(QLatin1Char(' ')),
                 qPrintable(QStringLiteral("BAS at %1 px, LOW at %2 px").arg(french).arg(english)));
    }

    // A lost adapter in French: the line on both pages with the pending command, and the bus
    // health in French with the decimal comma; the event journal, a file others read, keeps
    // its English lines.
    void frenchWindow_connectionLostAndBusHealth_journalStaysEnglish() {
        QVERIFY(installTranslations(*qApp));
        TestPlatform platform;
        platform.devices.setNames({QStringLiteral("ttyUSB0")});
        NoBrowser browser;
        WindowMain window(platform.platform(), browser, new MainMenuBar);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        platform.timeline.advance(500); // the device listed and selected
        window.monitor().ConnectButton_Action();
        platform.timeline.advance(1000);

        auto* health = window.findChild<QLabel*>(QStringLiteral("LabelBusHealth"));
        QVERIFY(health);
        QCOMPARE(health->text(),
                 QStringLiteral("Convertisseur 0,0 trames/s, pas entendu · HPU 0,0 trames/s, pas entendu · "
                                "ligne occupée à 0 %\nErreurs de somme de contrôle 0 · octets parasites 0 · "
                                "trames trop longues 0 · commandes envoyées 0"));

        platform.port.raiseError(QStringLiteral("Input/output error"));
        window.monitor().PompeButton_Action();
        platform.timeline.advance(200); // the window's next refresh
        const QString lost =
            QStringLiteral("Connexion perdue – reconnexion à ttyUSB0… – commande de pompage en attente");
        for (const char* name : {"LabelConnectionLost_Values", "LabelConnectionLost_RawStream"}) {
            auto* line = window.findChild<QLabel*>(QLatin1String(name));
            QVERIFY(line);
            QCOMPARE(line->text(), lost);
            QCOMPARE(line->accessibleName(), lost);
        }

        const QDir documents(platform.userFolders.documents());
        const QStringList journals = documents.entryList({QStringLiteral("*EventsOrvane*")}, QDir::Files);
        QCOMPARE(journals.size(), 1);
        QFile journal(documents.filePath(journals.first()));
        QVERIFY(journal.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(journal.readAll());
        QVERIFY2(text.startsWith(QStringLiteral("EVENTS ORVANE\ndate;time;event;detail;\n")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral(";connected;ttyUSB0;\n")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral(";connection lost;Input/output error;\n")), qPrintable(text));
    }

    // The alarm window's refusal, told in a real message box once the item editor has closed,
    // reads in French with the French caption and a decimal comma in its example.
    void frenchAlarmWindow_refusalInARealMessageBox() {
        QVERIFY(installTranslations(*qApp));
        TestPlatform doubles;
        MessageBoxNotifier boxes;
        const Platform p = doubles.platform();
        Monitor monitor(Platform{p.clock, p.wallClock, p.timers, p.port, p.devices, boxes, p.sound,
                                 p.resources, p.userFolders});
        MessageBoxAnswerer answerer;
        WindowAlarms window(monitor);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QTableWidget* list = window.list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(1, 1)).center());
        auto* editor = qobject_cast<QLineEdit*>(list->indexWidget(list->model()->index(1, 1)));
        QVERIFY2(editor, "the value cell is being edited");
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, QStringLiteral("abc"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(answerer.texts.size(), 1, 5000);
        QCOMPARE(answerer.texts.first(),
                 QStringLiteral("RPM max. : \"abc\" n'est pas un nombre, la valeur précédente est conservée. "
                                "Saisissez un nombre comme 53,0."));
        QCOMPARE(monitor.state().ValeurAlarmeRPM, qint64(3000));
    }

    // The core hands its fixed messages over in English; the real message box shows them in
    // French.
    void frenchMessageBox_coreMessageShownInFrench() {
        QVERIFY(installTranslations(*qApp));
        QString shown;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        poll.start(10);
        MessageBoxNotifier notifier;
        notifier.showMessage(Connection::kOpenFailedMessage);
        QCOMPARE(shown, QStringLiteral("La connexion série n'a pas pu être ouverte."));
    }

    // A disk too full for the day's file: the log's failure in a real message box, in French,
    // and the Log box unticked.
    void frenchLogFailure_toldInARealMessageBox() {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no full device on this system");
        QVERIFY(installTranslations(*qApp));
        TestPlatform doubles;
        doubles.devices.setNames({QStringLiteral("ttyUSB0")});
        MessageBoxNotifier boxes;
        const Platform p = doubles.platform();
        Monitor monitor(Platform{p.clock, p.wallClock, p.timers, p.port, p.devices, boxes, p.sound,
                                 p.resources, p.userFolders});
        doubles.timeline.advance(500); // the device listed and selected
        QVERIFY(QDir().mkpath(doubles.userFolders.documents()));
        QVERIFY(QFile::link(QStringLiteral("/dev/full"),
                            doubles.userFolders.documents() + QStringLiteral("/2026_03_14_LogOrvane_ttyUSB0.csv")));
        MessageBoxAnswerer answerer;
        monitor.ConnectButton_Action();
        doubles.timeline.advance(1000);
        QCOMPARE(answerer.texts, QStringList{UserTexts::kLogFailureFrench});
        QVERIFY(!monitor.controls().CheckBoxLog_checked);
    }

    // The EEPROM table in French keeps what the HPU relies on: addresses, names, limits,
    // defaults and units, in the same order.
    void frenchEepromTable_keepsWhatTheHpuReadsAndWrites() {
        QVERIFY(installTranslations(*qApp));
        const EepromCatalogue french = EepromCatalogue::current();
        const EepromCatalogue english = EepromCatalogue::parse(App::defaultText(App::Caption::kEEPROMHPU));
        QCOMPARE(french.heading.value(0), QStringLiteral("Adresse"));
        QCOMPARE(french.rows.size(), english.rows.size());
        for (int row = 0; row < english.rows.size(); ++row)
            for (int column : {0, 1, 3, 4, 5, 6})
                QCOMPARE(french.rows[row][column], english.rows[row][column]);
    }
};

QTEST_MAIN(TestFrench)
#include "tst_french.moc"

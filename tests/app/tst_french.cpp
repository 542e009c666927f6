// The application in French, as under LANG=fr_FR.UTF-8 (set for this test by CMake): the
// translation chosen from the system's locale, the menus and the main window in French, and
// the texts that devices rely on unchanged. English stays the default.
#include "TestPlatform.h"
#include "app/LinkOpener.h"
#include "app/MainMenuBar.h"
#include "app/MessageBoxNotifier.h"
#include "app/Translations.h"
#include "app/WindowMain.h"
#include "core/Captions.h"
#include "eeprom/EepromCatalogue.h"
#include "link/PortSelection.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

class NoBrowser : public LinkOpener {
public:
    void open(const QUrl&) override {}
};

} // namespace

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

        const QList<QPair<const char*, const char*>> menus{
            {"FileMenu", "&Fichier"}, {"EditMenu", "É&dition"}, {"AlarmesMenu", "Alarmes"}, {"HPUMenu", "HPU"}};
        for (const auto& [name, text] : menus)
            QCOMPARE(menuBar->menuNamed(QLatin1String(name))->title(), QString::fromUtf8(text));
        const QList<QPair<const char*, const char*>> items{
            {"FileQuit", "&Quitter"},        {"EditUndo", "&Annuler"},      {"EditCut", "Cou&per"},
            {"EditCopy", "&Copier"},         {"EditPaste", "C&oller"},      {"EditClear", "&Supprimer"},
            {"EditSelectAll", "&Tout sélectionner"}, {"EditPreferences", "Réglages"},
            {"Alarmes", "Alarmes visuelles"}, {"HPUEEPROM", "EEPROM"}};
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
                label->objectName() == QLatin1String("Label1") || label->objectName() == QLatin1String("Label2"))
                check(label, label->text());
        for (const QPushButton* button : window.findChildren<QPushButton*>())
            check(button, button->text());
        QVERIFY2(tooLong.isEmpty(), qPrintable(tooLong.join(QStringLiteral("; "))));
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
        notifier.showMessage(PortSelection::kOpenFailedMessage);
        QCOMPARE(shown, QStringLiteral("La connexion série n'a pas pu être ouverte."));
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

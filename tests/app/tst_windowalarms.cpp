#include "TestPlatform.h"

#include "alarms/ui/WindowAlarms.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

class TestWindowAlarms : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestPlatform> tp;
    std::unique_ptr<Monitor> monitor;

    QString settingsPath() const { return tp->resources.filePath(QStringLiteral("Alarms_Settings.txt")); }
    void writeSettings(const QByteArray& content) {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray readSettings() const {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QStringList shownValues(const WindowAlarms& window) {
        QStringList values;
        for (int row = 0; row < window.list()->rowCount(); ++row)
            values.append(window.list()->item(row, 1)->text());
        return values;
    }
    // Clicks a row's cell and types over the value, as the user does.
    static void typeValue(WindowAlarms& window, int row, const QString& text, int clickedColumn = 1) {
        QTableWidget* list = window.list();
        const QRect cell = list->visualRect(list->model()->index(row, clickedColumn));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        auto* editor = qobject_cast<QLineEdit*>(list->indexWidget(list->model()->index(row, 1)));
        QVERIFY2(editor, "the value cell is being edited");
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }
    static void pressOk(WindowAlarms& window) {
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PushButton1")), Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

private slots:
    void init() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        tp = std::make_unique<TestPlatform>();
        monitor = std::make_unique<Monitor>(tp->platform());
    }
    void cleanup() {
        monitor.reset();
        tp.reset();
    }

    void windowLayout() {
        WindowAlarms window(*monitor);
        QCOMPARE(window.windowTitle(), QStringLiteral("Visual alarms"));
        QCOMPARE(window.size(), QSize(600, 324));
        QCOMPARE(window.minimumSize(), window.maximumSize());

        QTableWidget* list = window.list();
        QCOMPARE(list->objectName(), QStringLiteral("Listbox_Alarms"));
        QCOMPARE(list->geometry(), QRect(20, 20, 560, 240));
        QCOMPARE(list->columnCount(), 2);
        QCOMPARE(list->columnWidth(0), 448);
        QCOMPARE(list->columnWidth(1), 112);
        QVERIFY(list->horizontalHeader()->isHidden());
        QCOMPARE(list->rowHeight(0), 30);
        QVERIFY(list->showGrid());
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(list->rowCount(), 6);
        QCOMPARE(list->item(0, 0)->text(), QStringLiteral("Max alternator voltage [V]"));
        QCOMPARE(list->item(4, 0)->text(),
                 QStringLiteral(
                     "Pitch design mode (0: no pressure=full incidence  ; 1: no pressure = feathered)"));
        QCOMPARE(list->item(5, 0)->text(), QStringLiteral("Overspeed alarm volume (0-100)"));
        QVERIFY(!(list->item(0, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(list->item(0, 1)->flags() & Qt::ItemIsEditable);

        auto* ok = window.findChild<QPushButton*>(QStringLiteral("PushButton1"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), QRect(231, 281, 138, 23));
        QVERIFY(ok->isDefault());
    }

    void noFileShowsTheDefaults() {
        WindowAlarms window(*monitor);
        QCOMPARE(shownValues(window), (QStringList{"53.0", "3000", "80.0", "5.0", "0", "100"}));
    }

    void shortFileGivesZerosForTheRest() {
        writeSettings("50.0\n2500\n70.0\n");
        WindowAlarms window(*monitor);
        QCOMPARE(shownValues(window), (QStringList{"50.0", "2500", "70.0", "0.0", "0", "0"}));
        QCOMPARE(monitor->state().VolumeAlarmeHydro, qint64(0)); // so the alarm sound stays off
    }

    void openingShowsTheFileNotMemory() {
        monitor->state().ValeurAlarmeUin = 99.0;
        writeSettings("42.5\n3100\n81.0\n6.0\n1\n70\n");
        WindowAlarms window(*monitor);
        QCOMPARE(shownValues(window), (QStringList{"42.5", "3100", "81.0", "6.0", "1", "70"}));
    }

    void typedValuesAreStoredAndWritten_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("line");
        QTest::newRow("letters as the volume store 0") << 5 << "abc" << 0.0 << "0";
        QTest::newRow("a fraction of rpm is truncated") << 1 << "250.8" << 250.0 << "250";
        QTest::newRow("a whole voltage is written with one decimal") << 0 << "60" << 60.0 << "60.0";
        QTest::newRow("the mode reads its integer") << 4 << "1" << 1.0 << "1";
    }

    void typedValuesAreStoredAndWritten() {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(double, stored);
        QFETCH(QString, line);

        WindowAlarms window(*monitor);
        window.show();
        typeValue(window, row, typed);
        pressOk(window);

        const MonitorState& s = monitor->state();
        const double values[] = {s.ValeurAlarmeUin,          double(s.ValeurAlarmeRPM),
                                 s.ValeurAlarmeTemp,         s.ValeurHautePression,
                                 double(s.ValeurModeCalage), double(s.VolumeAlarmeHydro)};
        QCOMPARE(values[row], stored);
        QStringList expected{"53.0", "3000", "80.0", "5.0", "0", "100"};
        expected[row] = line;
        QCOMPARE(QString::fromUtf8(readSettings()), expected.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }

    void clickOnTheCaptionEditsTheValue() {
        WindowAlarms window(*monitor);
        window.show();
        typeValue(window, 2, QStringLiteral("75.5"), /*clickedColumn=*/0);
        window.close(); // the close box stores and saves too
        QCOMPARE(monitor->state().ValeurAlarmeTemp, 75.5);
        QVERIFY(readSettings().startsWith("53.0\n3000\n75.5\n"));
    }

    void commaLocaleReadsAndWritesWithComma() {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        writeSettings("53,0\n3000\n80,5\n5,0\n0\n100\n");
        WindowAlarms window(*monitor);
        QCOMPARE(shownValues(window), (QStringList{"53,0", "3000", "80,5", "5,0", "0", "100"}));
        QCOMPARE(monitor->state().ValeurAlarmeTemp, 80.5);
        window.show();
        typeValue(window, 0, QStringLiteral("54,5"));
        pressOk(window);
        QCOMPARE(monitor->state().ValeurAlarmeUin, 54.5);
        QCOMPARE(readSettings(), QByteArray("54,5\n3000\n80,5\n5,0\n0\n100\n"));
    }

    void unwritableFileIsToldAndValuesKept() {
        // A folder in the place of the file: it can be neither read nor written.
        QVERIFY(QDir(tp->resources.path()).mkdir(QStringLiteral("Alarms_Settings.txt")));
        WindowAlarms window(*monitor);
        window.show();
        typeValue(window, 1, QStringLiteral("2800"));
        pressOk(window);
        QCOMPARE(tp->notifier.messages.size(), 1);
        QCOMPARE(monitor->state().ValeurAlarmeRPM, qint64(2800)); // kept in memory for this run
    }
};

QTEST_MAIN(TestWindowAlarms)
#include "tst_windowalarms.moc"

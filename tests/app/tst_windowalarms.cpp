#include "MessageBoxAnswerer.h"
#include "QtWarnings.h"
#include "TestPlatform.h"

#include "alarms/ui/WindowAlarms.h"
#include "app/MessageBoxNotifier.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QStringList kDefaultLines{"53.0", "3000", "80.0", "5.0", "0", "100"};

QString refusal(const char* caption, const QString& typed, const char* example) {
    return QStringLiteral(
               "%1: \"%2\" is not a number, so the previous value is kept. Type a number such as %3.")
        .arg(QString::fromUtf8(caption), typed, QString::fromLatin1(example));
}

QLocale pointLocale() {
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

QLocale commaLocale() {
    return QLocale(QLocale::French, QLocale::France);
}

} // namespace

// The window with the real item editor driven by key events and real message boxes, answered
// by MessageBoxAnswerer; every test ends without a Qt warning.
class TestWindowAlarms : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestPlatform> tp;
    std::unique_ptr<MessageBoxNotifier> boxes;
    std::unique_ptr<Monitor> monitor;
    std::unique_ptr<MessageBoxAnswerer> answerer;
    std::unique_ptr<QtWarnings> warnings;

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
    static double storedValue(const MonitorState& s, int row) {
        const double values[] = {s.ValeurAlarmeUin,          double(s.ValeurAlarmeRPM),
                                 s.ValeurAlarmeTemp,         s.ValeurHautePression,
                                 double(s.ValeurModeCalage), double(s.VolumeAlarmeHydro)};
        return values[row];
    }
    static QLineEdit* openEditor(const WindowAlarms& window) {
        const QList<QLineEdit*> editors = window.list()->findChildren<QLineEdit*>();
        for (QLineEdit* editor : editors)
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    // Clicks a row's cell and types over the value in the item editor, as the user does.
    static QLineEdit* typeValue(WindowAlarms& window, int row, const QString& text, int clickedColumn = 1) {
        QTableWidget* list = window.list();
        const QRect cell = list->visualRect(list->model()->index(row, clickedColumn));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        auto* editor = qobject_cast<QLineEdit*>(list->indexWidget(list->model()->index(row, 1)));
        if (!editor)
            return nullptr;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
        return editor;
    }
    static void showWindow(WindowAlarms& window) {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    static void pressOk(WindowAlarms& window) {
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PushButton1")), Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

private slots:
    void init() {
        QLocale::setDefault(pointLocale());
        warnings = std::make_unique<QtWarnings>();
        tp = std::make_unique<TestPlatform>();
        boxes = std::make_unique<MessageBoxNotifier>();
        Platform platform = tp->platform();
        monitor = std::make_unique<Monitor>(Platform{platform.clock, platform.wallClock, platform.timers,
                                                     platform.port, platform.devices, *boxes, platform.sound,
                                                     platform.resources, platform.userFolders});
        answerer = std::make_unique<MessageBoxAnswerer>();
    }
    void cleanup() {
        answerer.reset();
        monitor.reset();
        boxes.reset();
        tp.reset();
        QCOMPARE(warnings->taken(), QStringList());
        warnings.reset();
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
        QCOMPARE(shownValues(window), kDefaultLines);
    }

    void shortFileGivesZerosForTheRest() {
        writeSettings("50.0\n2500\n70.0\n");
        WindowAlarms window(*monitor);
        QCOMPARE(shownValues(window), (QStringList{"50.0", "2500", "70.0", "0.0", "0", "0"}));
        QCOMPARE(monitor->state().VolumeAlarmeHydro, qint64(0)); // so the alarm sound stays off
    }

    void openingShowsTheFileNotMemory() {
        {
            AlarmSettingValues values = monitor->alarmSettings();
            values.ValeurAlarmeUin = 99.0;
            monitor->applyAlarmSettings(values);
        }
        writeSettings("42.5\n3100\n81.0\n6.0\n1\n70\n");
        WindowAlarms window(*monitor);
        QCOMPARE(shownValues(window), (QStringList{"42.5", "3100", "81.0", "6.0", "1", "70"}));
    }

    // Text typed into a cell and committed with Return, then the window closed with OK: what
    // the cell shows, the setting in memory and the file's line. A text that is not a number
    // is refused with a message once the editor has closed; the cell and the file keep the
    // previous value.
    void committedText_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message"); // empty: none

        const QLocale point = pointLocale();
        const QLocale comma = commaLocale();
        const QString none;
        const char* const rpm = "Max RPM";
        const char* const temp = "Max converter temp. [\u00B0C]";
        const char* const volume = "Overspeed alarm volume (0-100)";

        QTest::newRow("letters as the speed threshold")
            << point << 1 << "abc"
            << "3000" << 3000.0 << "3000" << refusal(rpm, "abc", "53.0");
        QTest::newRow("an empty volume") << point << 5 << ""
                                         << "100" << 100.0 << "100" << refusal(volume, "", "53.0");
        QTest::newRow("1,2,3 with a decimal point")
            << point << 2 << "1,2,3"
            << "80.0" << 80.0 << "80.0" << refusal(temp, "1,2,3", "53.0");
        QTest::newRow("1,2,3 with a decimal comma")
            << comma << 2 << "1,2,3"
            << "80,0" << 80.0 << "80,0" << refusal(temp, "1,2,3", "53,0");
        QTest::newRow("53,0 with a decimal point")
            << point << 2 << "53,0"
            << "80.0" << 80.0 << "80.0" << refusal(temp, "53,0", "53.0");
        QTest::newRow("53.0 with a decimal point") << point << 2 << "53.0"
                                                   << "53.0" << 53.0 << "53.0" << none;
        QTest::newRow("53,0 with a decimal comma") << comma << 2 << "53,0"
                                                   << "53,0" << 53.0 << "53,0" << none;
        QTest::newRow("53.0 with a decimal comma")
            << comma << 2 << "53.0"
            << "80,0" << 80.0 << "80,0" << refusal(temp, "53.0", "53,0");
        QTest::newRow("a negative number, no range check") << point << 2 << "-7"
                                                           << "-7" << -7.0 << "-7.0" << none;
        QTest::newRow("an exponent is refused") << point << 2 << "1e3"
                                                << "80.0" << 80.0 << "80.0" << refusal(temp, "1e3", "53.0");
        QTest::newRow("a fraction of rpm is truncated") << point << 1 << "250.8"
                                                        << "250.8" << 250.0 << "250" << none;
        QTest::newRow("a whole voltage is written with one decimal") << point << 0 << "60"
                                                                     << "60" << 60.0 << "60.0" << none;
        QTest::newRow("the mode reads its integer") << point << 4 << "1"
                                                    << "1" << 1.0 << "1" << none;
    }

    void committedText() {
        QFETCH(QLocale, locale);
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(double, stored);
        QFETCH(QString, line);
        QFETCH(QString, message);

        QLocale::setDefault(locale);
        WindowAlarms window(*monitor);
        showWindow(window);
        const QStringList before = shownValues(window);
        bool editorOpenWhileBoxIsUp = true;
        answerer->whileBoxIsUp = [&] { editorOpenWhileBoxIsUp = openEditor(window) != nullptr; };

        QLineEdit* editor = typeValue(window, row, typed);
        QVERIFY2(editor, "the value cell is being edited");
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(window.isVisible()); // Return commits the cell; it does not press OK
        if (message.isEmpty()) {
            QCoreApplication::processEvents(); // where a refusal would be told
            QCOMPARE(answerer->texts, QStringList());
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(answerer->texts, QStringList{message}, 5000);
            QVERIFY(!editorOpenWhileBoxIsUp); // the box waits until the editor has closed
        }
        QVERIFY(!openEditor(window));
        QStringList expectedShown = before;
        expectedShown[row] = shown;
        QCOMPARE(shownValues(window), expectedShown);

        pressOk(window);
        QCOMPARE(storedValue(monitor->state(), row), stored);
        QStringList expectedLines = before;
        expectedLines[row] = line;
        QCOMPARE(QString::fromUtf8(readSettings()),
                 expectedLines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        QCOMPARE(answerer->texts.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(warnings->taken(), QStringList());
    }

    // Only Return commits: every other way of leaving the editor keeps the previous value.
    void leavingTheEditorKeepsThePreviousValue_data() {
        QTest::addColumn<QString>("leave");
        QTest::newRow("Escape") << "escape";
        QTest::newRow("Tab") << "tab";
        QTest::newRow("a click on another row") << "other row";
        QTest::newRow("the OK button") << "ok";
        QTest::newRow("the close box") << "close";
    }

    void leavingTheEditorKeepsThePreviousValue() {
        QFETCH(QString, leave);
        WindowAlarms window(*monitor);
        showWindow(window);
        QLineEdit* editor = typeValue(window, 0, QStringLiteral("60"));
        QVERIFY2(editor, "the value cell is being edited");

        if (leave == QLatin1String("escape") || leave == QLatin1String("tab")) {
            QTest::keyClick(editor, leave == QLatin1String("tab") ? Qt::Key_Tab : Qt::Key_Escape);
        } else if (leave == QLatin1String("other row")) {
            QTableWidget* list = window.list();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(list->model()->index(3, 0)).center());
            QVERIFY(openEditor(window)); // the clicked row is being edited now
            QTest::keyClick(openEditor(window), Qt::Key_Escape);
        }
        if (leave == QLatin1String("ok")) {
            pressOk(window);
        } else if (leave == QLatin1String("close")) {
            window.close();
        } else {
            QVERIFY(!openEditor(window));
            QCOMPARE(shownValues(window), kDefaultLines);
            pressOk(window);
        }
        QVERIFY(!window.isVisible());
        QCOMPARE(monitor->state().ValeurAlarmeUin, 53.0);
        QCOMPARE(QString::fromUtf8(readSettings()),
                 kDefaultLines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        QCoreApplication::processEvents();
        QCOMPARE(answerer->texts, QStringList());
    }

    // As opened from the menu: the window runs modally, the refusal's box opens above it, and
    // once the box is answered Return presses OK.
    void modalWindowRefusesThenClosesWithReturn() {
        WindowAlarms window(*monitor);
        bool closedByReturn = false;
        const auto steps = [&] {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QLineEdit* editor = typeValue(window, 1, QStringLiteral("abc"));
            QVERIFY2(editor, "the value cell is being edited");
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE_WITH_TIMEOUT(answerer->texts.size(), 1, 5000);
            QVERIFY(window.isVisible());
            QTest::keyClick(window.list(), Qt::Key_Return);
            closedByReturn = !window.isVisible();
        };
        QTimer::singleShot(0, &window, [&] {
            steps();
            if (window.isVisible())
                window.reject(); // a failed step must not leave exec() waiting
        });
        window.exec();
        QVERIFY(closedByReturn);
        QCOMPARE(answerer->texts, QStringList{refusal("Max RPM", QStringLiteral("abc"), "53.0")});
        QCOMPARE(monitor->state().ValeurAlarmeRPM, qint64(3000));
        QCOMPARE(QString::fromUtf8(readSettings()),
                 kDefaultLines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }

    void clickOnTheCaptionEditsTheValue() {
        WindowAlarms window(*monitor);
        showWindow(window);
        QLineEdit* editor = typeValue(window, 2, QStringLiteral("75.5"), /*clickedColumn=*/0);
        QVERIFY2(editor, "the value cell is being edited");
        QTest::keyClick(editor, Qt::Key_Return);
        window.close(); // the close box stores and saves too
        QCOMPARE(monitor->state().ValeurAlarmeTemp, 75.5);
        QVERIFY(readSettings().startsWith("53.0\n3000\n75.5\n"));
    }

    void commaLocaleReadsAndWritesWithComma() {
        QLocale::setDefault(commaLocale());
        writeSettings("53,0\n3000\n80,5\n5,0\n0\n100\n");
        WindowAlarms window(*monitor);
        QCOMPARE(shownValues(window), (QStringList{"53,0", "3000", "80,5", "5,0", "0", "100"}));
        QCOMPARE(monitor->state().ValeurAlarmeTemp, 80.5);
        showWindow(window);
        QLineEdit* editor = typeValue(window, 0, QStringLiteral("54,5"));
        QVERIFY2(editor, "the value cell is being edited");
        QTest::keyClick(editor, Qt::Key_Return);
        pressOk(window);
        QCOMPARE(monitor->state().ValeurAlarmeUin, 54.5);
        QCOMPARE(readSettings(), QByteArray("54,5\n3000\n80,5\n5,0\n0\n100\n"));
    }

    void unwritableFileIsToldAndValuesKept() {
        // A folder in the place of the file: it can be neither read nor written.
        QVERIFY(QDir(tp->resources.path()).mkdir(QStringLiteral("Alarms_Settings.txt")));
        WindowAlarms window(*monitor);
        showWindow(window);
        QLineEdit* editor = typeValue(window, 1, QStringLiteral("2800"));
        QVERIFY2(editor, "the value cell is being edited");
        QTest::keyClick(editor, Qt::Key_Return);
        pressOk(window); // returns once the real message box has been answered
        QCOMPARE(answerer->texts.size(), 1);
        QVERIFY2(answerer->texts.first().startsWith(QStringLiteral("The alarm settings could not be saved")),
                 qPrintable(answerer->texts.first()));
        QCOMPARE(monitor->state().ValeurAlarmeRPM, qint64(2800)); // kept in memory for this run
    }

    // Closed by the close box while a value is still being typed, and the file cannot be
    // written: the typed value is dropped, the failure is told once with the real box, and the
    // editor still open under the box leaves no warning behind.
    void closingMidEditWithAnUnwritableFile() {
        QVERIFY(QDir(tp->resources.path()).mkdir(QStringLiteral("Alarms_Settings.txt")));
        WindowAlarms window(*monitor);
        showWindow(window);
        QVERIFY2(typeValue(window, 1, QStringLiteral("2800")), "the value cell is being edited");
        window.close(); // returns once the real message box has been answered
        QVERIFY(!window.isVisible());
        QCOMPARE(answerer->texts.size(), 1);
        QVERIFY2(answerer->texts.first().startsWith(QStringLiteral("The alarm settings could not be saved")),
                 qPrintable(answerer->texts.first()));
        QCOMPARE(monitor->state().ValeurAlarmeRPM, qint64(3000));
        QCOMPARE(window.list()->item(1, 1)->text(), QStringLiteral("3000"));
        QCoreApplication::processEvents();
        QCOMPARE(answerer->texts.size(), 1);
    }
};

QTEST_MAIN(TestWindowAlarms)
#include "tst_windowalarms.moc"

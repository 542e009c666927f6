#include "EepromTestDoubles.h"
#include "FileDialogAnswerer.h"
#include "ManualTimeline.h"
#include "SimulatedLine.h"
#include "TestPlatform.h"
#include "app/MakeWindowHPU.h"
#include "eeprom/EepromBackup.h"
#include "eeprom/ui/MessageBoxEepromPrompts.h"
#include "eeprom/ui/WindowHPU.h"
#include "link/Frame.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

// Answers the next modal box as a person would: waits until it is up, reads its text, then
// clicks a button, or presses Return, which takes the box's default button.
class BoxAnswerer : public QObject {
public:
    explicit BoxAnswerer(QMessageBox::StandardButton button = QMessageBox::NoButton)
        : button_(button) {
        connect(&poll_, &QTimer::timeout, this, &BoxAnswerer::poll);
        poll_.start(10);
    }
    bool answered = false;
    QString text;
    QString defaultButton;

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || answered)
            return;
        poll_.stop();
        answered = true;
        text = box->text();
        defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        if (button_ == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::mouseClick(box->button(button_), Qt::LeftButton);
    }
    QMessageBox::StandardButton button_;
    QTimer poll_;
};

// The window as HPU > EEPROM shows it, on the simulated installation, asking its questions
// in real message boxes. What leaves the port is what the simulated HPU heard.
struct OnTheLine : SimulatedLine {
    MessageBoxEepromPrompts prompts;
    FileDialogAnswerer files; // the real file dialogs, answered
    QTemporaryDir backups;
    WindowHPU window{link, timeline, prompts};

    OnTheLine() {
        prompts.setParent(&window);
        window.setBackups(timeline, backups.path());
        window.editor().setLocale(QLocale::c());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(runUntil([this] { return list()->isEnabled(); }, 5000));
        timeline.advance(500); // the idle step
        QCOMPARE(cell(3, kColValue), QStringLiteral("500"));
    }
    QTableWidget* list() const { return window.Listbox_EEPROM(); }
    QString cell(int r, int c) const { return list()->item(r, c)->text(); }
    QLineEdit* editorAt(int r) const {
        return qobject_cast<QLineEdit*>(list()->indexWidget(list()->model()->index(r, kColValue)));
    }
    void clickCell(int r, int c) {
        list()->scrollToItem(list()->item(r, kColDescribtion));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(list()->item(r, c)).center());
    }
    // Opens row r's Value cell and types text over its value.
    QLineEdit* typeInto(int r, const QString& text) {
        clickCell(r, kColDescribtion);
        QLineEdit* line = editorAt(r);
        if (line) {
            line->selectAll();
            QTest::keyClicks(line, text);
        }
        return line;
    }
    // What the HPU heard in the next seconds: the EEPROM writes, as hex.
    QStringList writesHeard(int ms) {
        const int before = commandCount();
        timeline.advance(ms);
        QStringList writes;
        const auto& commands = port.installation().commands();
        for (int i = before; i < commands.size(); ++i)
            if (commands[i].name() == QLatin1String("EEPROM write"))
                writes.append(hexString(commands[i].bytes));
        return writes;
    }
};

// The window on a bare monitor state, shown (not modally) so that clicks reach it.
struct Shown {
    ManualTimeline timeline;
    StateEepromLink link;
    RecordingPrompts prompts;
    WindowHPU window{link, timeline, prompts};

    Shown() {
        window.editor().setLocale(QLocale::c());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QTableWidget* list() const { return window.Listbox_EEPROM(); }
    QString cell(int r, int c) const { return list()->item(r, c)->text(); }
    QWidget* editorAt(int r, int c) const { return list()->indexWidget(list()->model()->index(r, c)); }

    void readToIdle() {
        link.answerRead(defaultsReadAnswer());
        timeline.advance(1500);
        QVERIFY(list()->isEnabled());
        QVERIFY(!window.editor().Timer1().isRunning());
    }
    void clickCell(int r, int c) {
        list()->scrollToItem(list()->item(r, kColDescribtion));
        const QRect rect = list()->visualItemRect(list()->item(r, c));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // Types into the open Value editor and presses Return.
    void type(int r, const QString& text) {
        auto* line = qobject_cast<QLineEdit*>(editorAt(r, kColValue));
        QVERIFY(line);
        line->selectAll();
        QTest::keyClicks(line, text);
        QTest::keyClick(line, Qt::Key_Return);
        // The delegate commits a Return from the event loop, after the editor's own handling.
        QCoreApplication::processEvents();
        QVERIFY(!editorAt(r, kColValue));
    }
};

} // namespace

// "HPU EEPROM": its controls, the column widths, the click that opens the Value cell and
// the commit that starts the write.
class TestWindowHPU : public QObject {
    Q_OBJECT
private slots:
    // Every test here fails on any Qt warning, such as the item view's complaint about an
    // editor closed twice. Only the offscreen platform's notice that it cannot size a
    // message box to its contents is let through: it says nothing about this window.
    void init() {
        QTest::failOnWarning(QRegularExpression(
            QStringLiteral("^(?!This plugin does not support propagateSizeHints\\(\\)$)")));
    }

    void returnOnAValueOutsideItsRangeAsksFirst_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Yes writes it")
            << int(QMessageBox::Yes) << QStringList{"12 11 45 05 21 02 58 00 E8"} << "600";
        // Return in the box takes its default button, No.
        QTest::newRow("No, by default, sends nothing")
            << int(QMessageBox::NoButton) << QStringList{} << "500";
    }
    void returnOnAValueOutsideItsRangeAsksFirst() {
        QFETCH(int, button);
        QFETCH(QStringList, writes);
        QFETCH(QString, shown);
        OnTheLine w;
        QLineEdit* line = w.typeInto(3, QStringLiteral("600"));
        QVERIFY(line);
        BoxAnswerer answer{QMessageBox::StandardButton(button)};
        QTest::keyClick(line, Qt::Key_Return);
        QVERIFY(!w.list()->isEnabled()); // taken: no second edit while it is checked
        QTRY_VERIFY_WITH_TIMEOUT(answer.answered, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 5000);
        QVERIFY2(answer.text.contains(
                     QStringLiteral("600 is outside the range of \"Max generator voltage\" (0 to 550)")),
                 qPrintable(answer.text));
        QCOMPARE(answer.defaultButton,
                 QMessageBox(QMessageBox::Question, {}, {}, QMessageBox::No).button(QMessageBox::No)->text());
        QVERIFY(!w.editorAt(3));

        const QStringList heard = w.writesHeard(3000);
        QCOMPARE(heard.isEmpty(), writes.isEmpty());
        for (const QString& write : heard) // the request repeats until acknowledged
            QCOMPARE(write, writes.value(0));
        QVERIFY(w.runUntil([&w] { return w.list()->isEnabled(); }, 3000));
        QCOMPARE(w.cell(3, kColValue), shown);
        QCOMPARE(w.eeprom().value(33), shown.toInt());
        QVERIFY(w.window.isVisible());
    }

    void returnOnAValueThatCannotBeWrittenIsRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("70000") << "70000"
                               << "70000 cannot be written: an EEPROM value must lie between 0 and 65535.";
        QTest::newRow("abc") << "abc"
                             << "\"abc\" is not a whole number. \"Max generator voltage\" takes a whole "
                                "number of 0.1 V (0 to 550).";
        QTest::newRow("empty")
            << ""
            << "Nothing was typed. \"Max generator voltage\" takes a whole number of 0.1 V (0 to 550).";
        QTest::newRow("7.5") << "7.5"
                             << "\"7.5\" is not a whole number. \"Max generator voltage\" takes a whole "
                                "number of 0.1 V (0 to 550).";
    }
    void returnOnAValueThatCannotBeWrittenIsRefused() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        OnTheLine w;
        QLineEdit* line = w.typeInto(3, text);
        QVERIFY(line);
        if (text.isEmpty())
            line->clear();
        BoxAnswerer answer;
        QTest::keyClick(line, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(answer.answered, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 5000);
        QCOMPARE(answer.text, message);
        QVERIFY(w.writesHeard(3000).isEmpty());
        QVERIFY(w.list()->isEnabled());
        QCOMPARE(w.cell(3, kColValue), QStringLiteral("500"));
        QVERIFY(!w.list()->item(3, kColValue)->font().bold());
        QVERIFY(w.window.isVisible());
    }

    // Half-typed text is never written: only Return or Enter hands it over.
    void editLeftWithoutReturnIsAbandoned_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Escape") << "escape";
        QTest::newRow("Tab") << "tab";
        QTest::newRow("click on another row") << "other row";
        QTest::newRow("another window") << "other window";
        QTest::newRow("closing the window") << "close";
    }
    void editLeftWithoutReturnIsAbandoned() {
        QFETCH(QString, how);
        OnTheLine w;
        QLineEdit* line = w.typeInto(3, QStringLiteral("4"));
        QVERIFY(line);
        QWidget other;
        if (how == QLatin1String("escape")) {
            QTest::keyClick(line, Qt::Key_Escape);
        } else if (how == QLatin1String("tab")) {
            QTest::keyClick(line, Qt::Key_Tab);
        } else if (how == QLatin1String("other row")) {
            w.clickCell(5, kColDescribtion);
        } else if (how == QLatin1String("other window")) {
            other.show();
            QVERIFY(QTest::qWaitForWindowExposed(&other));
            QApplication::setActiveWindow(&other);
            other.setFocus();
        } else {
            w.window.close();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!w.editorAt(3), 5000);
        QCoreApplication::processEvents();
        QVERIFY(w.writesHeard(3000).isEmpty());
        QCOMPARE(w.cell(3, kColValue), QStringLiteral("500"));
        QVERIFY(!w.list()->item(3, kColValue)->font().bold());
        QCOMPARE(w.eeprom().value(33), 500);
        QCOMPARE(w.window.isVisible(), how != QLatin1String("close"));
    }

    // Return writes 450: the request until it is acknowledged, then the read-back.
    void returnWritesAndTheListWaitsForTheReadBack() {
        OnTheLine w;
        QLineEdit* line = w.typeInto(3, QStringLiteral("450"));
        QVERIFY(line);
        QTest::keyClick(line, Qt::Key_Return);
        QVERIFY(!w.list()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(w.list()->item(3, kColValue)->font().bold(), 5000);
        QVERIFY(w.runUntil([&w] { return w.list()->isEnabled(); }, 5000));
        QCOMPARE(w.writeOrder(), QList<int>{33});
        // Read back and shown: the write is over, and no request of it is heard again.
        QCOMPARE(w.writesHeard(3000), QStringList{});
        QCOMPARE(w.window.statusLine()->text(),
                 QStringLiteral("\"Max generator voltage\" written and read back."));
        QCOMPARE(w.eeprom().value(33), 450);
        QCOMPARE(w.cell(3, kColValue), QStringLiteral("450"));
        QCOMPARE(w.cell(3, kColRealValue), QStringLiteral("45.0 [V]"));
        QVERIFY(!w.list()->item(3, kColValue)->font().bold());
    }

    void saveWritesTheBackupWhereTheTechnicianChose() {
        OnTheLine w;
        QVERIFY(w.window.saveButton()->isEnabled());
        const QString path = w.backups.filePath(QStringLiteral("chosen.json"));
        w.files.answer = path;
        QTest::mouseClick(w.window.saveButton(), Qt::LeftButton);
        const QString expected =
            QStringLiteral("HPU_42_%1.json")
                .arg(w.timeline.now().toUTC().toString(QStringLiteral("yyyy-MM-dd_HHmm")));
        QCOMPARE(w.files.offers.size(), 1);
        QCOMPARE(w.files.offers.first().suggestedPath(), QDir(w.backups.path()).filePath(expected));
        const EepromBackupReading reading = readEepromBackupFile(path);
        QVERIFY2(reading.ok, qPrintable(reading.error));
        QCOMPARE(reading.backup.parameters.size(), 17);
        QCOMPARE(reading.backup.boardNumber, qint64(42));
        QCOMPARE(reading.backup.savedAtUtc,
                 w.timeline.now().toUTC().addMSecs(-w.timeline.now().time().msec()));
    }

    void saveIntoAFolderThatIsGoneSaysSo() {
        OnTheLine w;
        w.files.answer = w.backups.filePath(QStringLiteral("gone/chosen.json"));
        BoxAnswerer answer;
        QTest::mouseClick(w.window.saveButton(), Qt::LeftButton);
        QVERIFY(answer.answered); // the box was shown and answered inside the click
        QVERIFY2(answer.text.contains(QStringLiteral("cannot be created")), qPrintable(answer.text));
        QVERIFY(!QFile::exists(w.files.answer));
    }

    void loadedFileIsComparedAndItsDifferencesWritten() {
        OnTheLine w;
        const QString path = w.backups.filePath(QStringLiteral("HPU_42.json"));
        EepromBackup file = w.window.editor().backup(QStringLiteral("2.3.3"), w.timeline.now());
        for (EepromBackupParameter& p : file.parameters)
            if (p.address == 30)
                p.raw = 700;
        QCOMPARE(writeEepromBackupFile(path, file), QString());
        w.files.answer = path;
        QVERIFY(!w.window.writeDifferencesButton()->isEnabled());
        QTest::mouseClick(w.window.loadButton(), Qt::LeftButton);
        QCOMPARE(w.files.offers.size(), 1);
        QCOMPARE(w.files.offers.first().folder, w.backups.path());

        // The compare view: the file's value beside the HPU's, the differing row marked.
        QVERIFY(!w.list()->isColumnHidden(WindowHPU::kColFileValue));
        QCOMPARE(w.cell(1, WindowHPU::kColFileValue), QStringLiteral("700"));
        QCOMPARE(w.cell(1, kColValue), QStringLiteral("800"));
        QVERIFY(w.list()->item(1, kColDescribtion)->background().style() != Qt::NoBrush);
        QCOMPARE(w.list()->item(2, kColDescribtion)->background().style(), Qt::NoBrush);
        QVERIFY(w.window.writeDifferencesButton()->isEnabled());

        BoxAnswerer confirm{QMessageBox::Yes};
        QTest::mouseClick(w.window.writeDifferencesButton(), Qt::LeftButton);
        QVERIFY(confirm.answered);
        QVERIFY2(confirm.text.startsWith(QStringLiteral("Write 1 parameter from the file to the HPU?")),
                 qPrintable(confirm.text));
        QVERIFY(!w.window.saveButton()->isEnabled());
        QVERIFY(w.window.cancelButton()->isEnabled());
        QVERIFY(w.runUntil([&w] { return !w.window.editor().isRestoring(); }, 10000));
        BoxAnswerer report;
        QTRY_VERIFY_WITH_TIMEOUT(report.answered, 5000);
        QCOMPARE(report.text, QStringLiteral("1 parameter written, all verified"));
        QCOMPARE(w.writeOrder(), QList<int>{30});
        QCOMPARE(w.eeprom().value(30), 700);
        QCOMPARE(w.list()->item(1, kColDescribtion)->background().style(), Qt::NoBrush);
        QVERIFY(!w.window.writeDifferencesButton()->isEnabled());

        QTest::mouseClick(w.window.cancelButton(), Qt::LeftButton); // ends the compare view
        QVERIFY(w.list()->isColumnHidden(WindowHPU::kColFileValue));
    }

    void damagedFileIsRefusedWithNothingSent_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown address")
            << QByteArray(R"({"parameters": [{"address": 33, "identifier": "TENSION_ALTERNATEUR_HAUTE", )"
                          R"("unit": "0.1 V", "raw": 450}, {"address": 28, "raw": 1}]})")
            << "Entry 2 of the file: address 28 holds no HPU parameter.";
        QTest::newRow("300 for a one-byte parameter")
            << QByteArray(R"({"parameters": [{"address": 42, "raw": 300}]})")
            << "Entry 1 of the file (address 42): 300 lies outside 0 to 255.";
    }
    void damagedFileIsRefusedWithNothingSent() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        OnTheLine w;
        const QString path = w.backups.filePath(QStringLiteral("damaged.json"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();
        w.files.answer = path;
        BoxAnswerer answer;
        QTest::mouseClick(w.window.loadButton(), Qt::LeftButton);
        QVERIFY(answer.answered);
        QCOMPARE(answer.text, error + QStringLiteral("\nNothing was sent to the HPU."));
        QVERIFY(w.list()->isColumnHidden(WindowHPU::kColFileValue));
        QVERIFY(!w.window.writeDifferencesButton()->isEnabled());
        QVERIFY(w.writesHeard(3000).isEmpty());
    }

    // The platform's own file dialog, answered by a timer as the message boxes are: its title,
    // its folder, and the file chosen in it.
    void loadThroughTheRealFileDialog() {
        OnTheLine w;
        const QString path = w.backups.filePath(QStringLiteral("HPU_42.json"));
        QCOMPARE(
            writeEepromBackupFile(path, w.window.editor().backup(QStringLiteral("2.3.3"), w.timeline.now())),
            QString());
        w.files.answer = path;
        QTest::mouseClick(w.window.loadButton(), Qt::LeftButton);
        QCOMPARE(w.files.offers.size(), 1);
        QCOMPARE(w.files.offers.first().title, QStringLiteral("Load HPU backup"));
        QCOMPARE(w.files.offers.first().folder, w.backups.path());
        QVERIFY(!w.list()->isColumnHidden(WindowHPU::kColFileValue));
        QCOMPARE(w.cell(3, WindowHPU::kColFileValue), QStringLiteral("500"));
        QVERIFY(w.window.editor().differences().isEmpty());
    }

    void controls() {
        ManualTimeline timeline;
        StateEepromLink link;
        RecordingPrompts prompts;
        WindowHPU window(link, timeline, prompts);
        QCOMPARE(window.windowTitle(), QStringLiteral("HPU EEPROM"));
        QCOMPARE(window.size(), QSize(600, 400));
        QVERIFY(window.maximumSize().width() > 600 && window.maximumSize().height() > 400);

        QTableWidget* list = window.Listbox_EEPROM();
        QCOMPARE(list->objectName(), QStringLiteral("Listbox_EEPROM"));
        QCOMPARE(list->geometry(), QRect(20, 20, 560, 328));
        // Nine catalogue columns, and the file's value shown only while comparing.
        QCOMPARE(list->columnCount(), 10);
        QVERIFY(list->isColumnHidden(WindowHPU::kColFileValue));
        QCOMPARE(list->rowCount(), 17);
        QCOMPARE(list->horizontalHeaderItem(2)->text(), QStringLiteral("Describtion"));
        QCOMPARE(list->horizontalHeaderItem(8)->text(), QStringLiteral("Real value"));
        QVERIFY(list->showGrid());
        QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!list->isEnabled());
        QCOMPARE(list->item(3, kColDescribtion)->text(), QStringLiteral("Max generator voltage"));
        QVERIFY(list->item(3, kColDescribtion)->textAlignment() & Qt::AlignLeft);
        // Hidden columns keep the texts the rows are read back from.
        QCOMPARE(list->item(3, kColAddress)->text(), QStringLiteral("33"));
        QCOMPARE(list->item(3, kColMax)->text(), QStringLiteral("550"));
        QCOMPARE(list->item(3, kColUnity)->text(), QStringLiteral("0.1 V"));

        QProgressBar* bar = window.ProgressBar1();
        QCOMPARE(bar->objectName(), QStringLiteral("ProgressBar1"));
        QCOMPARE(bar->geometry(), QRect(213, 360, 174, 20));
        QCOMPARE(bar->maximum(), 100);
        QCOMPARE(bar->value(), 0);

        // Nothing is asked before the window opens.
        QCOMPARE(link.readRequests, 0);
        QVERIFY(!window.editor().Timer1().isRunning());
    }

    void columnWidths() {
        Shown s;
        const int width = s.list()->viewport()->width();
        QVERIFY(width > 400);
        for (int c : {0, 1, 3, 4, 5, 6})
            QVERIFY2(s.list()->isColumnHidden(c), qPrintable(QString::number(c)));
        QCOMPARE(s.list()->columnWidth(kColDescribtion), width * 65 / 100);
        QCOMPARE(s.list()->columnWidth(kColValue), width * 10 / 100);
        QCOMPARE(s.list()->columnWidth(kColRealValue), width * 25 / 100);
        QVERIFY(s.list()->horizontalHeader()->length() <= width);
    }

    void openingReadsAndShowsTheAnswer() {
        Shown s;
        QCOMPARE(s.link.readRequests, 1);
        QCOMPARE(hexString(s.link.slot()), QStringLiteral("12 11 4C 02 00 71"));
        s.link.answerRead(defaultsReadAnswer());
        s.timeline.advance(1000);
        QVERIFY(s.list()->isEnabled());
        QCOMPARE(s.window.ProgressBar1()->value(), 100);
        QCOMPARE(s.cell(1, kColValue), QStringLiteral("800"));
        QCOMPARE(s.cell(1, kColRealValue), QStringLiteral("8.00 [bar]"));
        QCOMPARE(s.cell(6, kColValue), QStringLiteral("900"));
        s.timeline.advance(500);
        QCOMPARE(s.window.ProgressBar1()->value(), 0);
    }

    void clickOnAnyCellOpensTheRowsValueCell_data() {
        QTest::addColumn<int>("column");
        QTest::newRow("Describtion") << int(kColDescribtion);
        QTest::newRow("Value") << int(kColValue);
        QTest::newRow("Real value") << int(kColRealValue);
    }
    void clickOnAnyCellOpensTheRowsValueCell() {
        QFETCH(int, column);
        Shown s;
        s.readToIdle();
        s.clickCell(3, column);
        auto* line = qobject_cast<QLineEdit*>(s.editorAt(3, kColValue));
        QVERIFY(line);
        QCOMPARE(line->text(), QStringLiteral("500"));
        QVERIFY(!s.editorAt(3, column == kColValue ? kColDescribtion : column));
    }

    void clickWhileDisabledOpensNothing() {
        Shown s; // no answer: the list stays disabled
        s.timeline.advance(1000);
        s.clickCell(3, kColDescribtion);
        QVERIFY(!s.editorAt(3, kColValue));
    }

    void commitWritesWithBoldMarkingUntilTheReadBack() {
        Shown s;
        s.readToIdle();
        s.clickCell(3, kColDescribtion);
        s.type(3, QStringLiteral("450"));
        QCOMPARE(hexString(s.link.slot()), QStringLiteral("12 11 45 05 21 01 C2 01 51"));
        QVERIFY(!s.list()->isEnabled());
        for (int c : {int(kColDescribtion), int(kColValue), int(kColRealValue)})
            QVERIFY(s.list()->item(3, c)->font().bold());
        QVERIFY(!s.list()->item(2, kColValue)->font().bold());
        QCOMPARE(s.cell(3, kColValue), QStringLiteral("450"));
        QCOMPARE(s.link.writeRequests.size(), 1);

        s.link.acknowledgeWrite();
        s.timeline.advance(500);
        QCOMPARE(s.window.ProgressBar1()->value(), 50);
        s.link.answerRead(readAnswerAfter450());
        s.timeline.advance(500);
        QVERIFY(s.list()->isEnabled());
        QCOMPARE(s.cell(3, kColValue), QStringLiteral("450"));
        QCOMPARE(s.cell(3, kColRealValue), QStringLiteral("45.0 [V]"));
        QVERIFY(!s.list()->item(3, kColValue)->font().bold());
        QVERIFY(!s.list()->item(3, kColDescribtion)->font().bold());
        QCOMPARE(s.link.writeRequests.size(), 1);
    }

    void escapeWritesNothing() {
        Shown s;
        s.readToIdle();
        s.clickCell(3, kColDescribtion);
        auto* line = qobject_cast<QLineEdit*>(s.editorAt(3, kColValue));
        QVERIFY(line);
        QTest::keyClicks(line, QStringLiteral("9"));
        QTest::keyClick(line, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QVERIFY(!s.editorAt(3, kColValue));
        QVERIFY(s.link.writeRequests.isEmpty());
        QCOMPARE(s.cell(3, kColValue), QStringLiteral("500"));
        QVERIFY(s.window.isVisible());
    }

    void refusedValueRestoresTheCell() {
        Shown s;
        s.readToIdle();
        s.clickCell(3, kColDescribtion);
        s.type(3, QStringLiteral("70000"));
        QCOMPARE(s.prompts.refusals.size(), 1);
        QVERIFY(s.link.writeRequests.isEmpty());
        QCOMPARE(s.cell(3, kColValue), QStringLiteral("500"));
        QVERIFY(!s.list()->item(3, kColValue)->font().bold());
        QVERIFY(s.list()->isEnabled());
    }

    void closingWhileEditingWritesNothing() {
        Shown s;
        s.readToIdle();
        s.clickCell(3, kColDescribtion);
        auto* line = qobject_cast<QLineEdit*>(s.editorAt(3, kColValue));
        QVERIFY(line);
        QTest::keyClicks(line, QStringLiteral("450"));
        s.window.close();
        QCoreApplication::processEvents();
        QVERIFY(s.link.writeRequests.isEmpty());
        QVERIFY(!s.window.editor().Timer1().isRunning());
    }

    // What HPU > EEPROM shows: the window on the main window's monitor and timers.
    void madeOnTheMonitor() {
        TestPlatform platform;
        Monitor monitor(platform.platform());
        platform.devices.setNames({QStringLiteral("ttyUSB0")});
        platform.timeline.advance(500); // the device list picks up the adapter
        monitor.ConnectButton_Action();
        std::unique_ptr<QDialog> made = makeWindowHPU(monitor, nullptr);
        auto* window = qobject_cast<WindowHPU*>(made.get());
        QVERIFY(window);
        window->show();
        QVERIFY(monitor.state().emissionRequest);
        QCOMPARE(hexString(Frame::emissionBytes(monitor.state().TrameBufferEmission)),
                 QStringLiteral("12 11 4C 02 00 71"));
        monitor.eepromRequests().withdrawAll(); // as if it had gone out, unanswered
        platform.timeline.advance(1000); // Timer1 runs on the platform's timers
        QVERIFY(monitor.state().emissionRequest);
        QCOMPARE(window->ProgressBar1()->value(), 19);
        window->close();
        QVERIFY(!window->editor().Timer1().isRunning());
        QVERIFY(!monitor.state().emissionRequest); // its read request, unsent, is withdrawn
    }

    void closingStopsTimer1() {
        Shown s;
        QVERIFY(s.window.editor().Timer1().isRunning());
        s.window.close();
        QVERIFY(!s.window.editor().Timer1().isRunning());
        s.timeline.advance(5000);
        QCOMPARE(s.link.readRequests, 1);
    }
};

QTEST_MAIN(TestWindowHPU)
#include "tst_windowhpu.moc"

#include "EepromTestDoubles.h"
#include "ManualTimeline.h"
#include "TestPlatform.h"
#include "eeprom/ui/MakeWindowHPU.h"
#include "eeprom/ui/WindowHPU.h"
#include "link/Frame.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTest>

namespace {

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
        std::unique_ptr<QDialog> made = makeWindowHPU(monitor, nullptr);
        auto* window = qobject_cast<WindowHPU*>(made.get());
        QVERIFY(window);
        window->show();
        QVERIFY(monitor.state().emissionRequest);
        QCOMPARE(hexString(Frame::emissionBytes(monitor.state().TrameBufferEmission)),
                 QStringLiteral("12 11 4C 02 00 71"));
        monitor.state().emissionRequest = false;
        platform.timeline.advance(1000); // Timer1 runs on the platform's timers
        QVERIFY(monitor.state().emissionRequest);
        QCOMPARE(window->ProgressBar1()->value(), 19);
        window->close();
        QVERIFY(!window->editor().Timer1().isRunning());
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

#include "core/ui/ReturnOnlyDelegate.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

// The shared Return-only item editor on a real table: what is typed reaches its owner only by
// Return or Enter, with the edited row, once the editor is gone; the model never changes.
// (Escape, Tab, a click elsewhere and another window are driven through the EEPROM window.)
class TestReturnOnlyDelegate : public QObject {
    Q_OBJECT
private slots:
    void returnHandsOnRowAndText_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("row");
        QTest::newRow("Return, first row") << int(Qt::Key_Return) << 0;
        QTest::newRow("Enter, third row") << int(Qt::Key_Enter) << 2;
    }
    void returnHandsOnRowAndText() {
        QFETCH(int, key);
        QFETCH(int, row);
        QTableWidget table(3, 1);
        for (int r = 0; r < 3; ++r)
            table.setItem(r, 0, new QTableWidgetItem(QStringLiteral("old %1").arg(r)));
        auto* delegate = new ReturnOnlyDelegate(&table);
        table.setItemDelegate(delegate);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QSignalSpy entered(delegate, &ReturnOnlyDelegate::entered);
        bool editorGoneWhenTold = false;
        connect(delegate, &ReturnOnlyDelegate::entered, this, [&] {
            editorGoneWhenTold = !table.indexWidget(table.model()->index(row, 0));
        });

        table.editItem(table.item(row, 0));
        auto* line = qobject_cast<QLineEdit*>(table.indexWidget(table.model()->index(row, 0)));
        QVERIFY(line);
        line->selectAll();
        QTest::keyClicks(line, QStringLiteral("42"));
        QTest::keyClick(line, Qt::Key(key));

        QCOMPARE(entered.size(), 1);
        QCOMPARE(entered[0][0].toInt(), row);
        QCOMPARE(entered[0][1].toString(), QStringLiteral("42"));
        QVERIFY(editorGoneWhenTold);
        QCOMPARE(table.item(row, 0)->text(), QStringLiteral("old %1").arg(row));
        QTRY_VERIFY(!table.indexWidget(table.model()->index(row, 0)));
    }

    // Focus leaving the editor commits in the base delegate: here it writes nothing, tells nothing.
    void focusLeavingChangesNothing() {
        QWidget window;
        auto* table = new QTableWidget(1, 1, &window);
        auto* other = new QLineEdit(&window);
        other->move(0, 200);
        table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("old")));
        auto* delegate = new ReturnOnlyDelegate(table);
        table->setItemDelegate(delegate);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy entered(delegate, &ReturnOnlyDelegate::entered);
        table->editItem(table->item(0, 0));
        auto* line = qobject_cast<QLineEdit*>(table->indexWidget(table->model()->index(0, 0)));
        QVERIFY(line);
        QTest::keyClicks(line, QStringLiteral("42"));
        other->setFocus();
        QTRY_VERIFY(!table->indexWidget(table->model()->index(0, 0)));
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("old"));
        QCOMPARE(entered.size(), 0);
    }
};

QTEST_MAIN(TestReturnOnlyDelegate)
#include "tst_returnonlydelegate.moc"

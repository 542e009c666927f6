#include "EepromTestDoubles.h"
#include "ManualTimeline.h"
#include "core/NumberMask.h"
#include "eeprom/EepromBackup.h"
#include "eeprom/HpuEepromEditor.h"

#include <QTest>

#include <memory>

namespace {

// Values and real values of the 17 rows, in list order, for defaultsReadAnswer().
const QStringList kDefaultValues = {"0",  "800", "50", "500", "200", "1800", "900",  "550",  "200",
                                    "50", "20",  "2",  "8",   "30",  "80",   "4000", "15000"};
const QStringList kDefaultRealValues = {"0 [-]",      "8.00 [bar]", "0.50 [bar]", "50.0 [V]",  "20.0 [V]",
                                        "1800 [RPM]", "900 [RPM]",  "550 [W]",    "200 [W]",   "0.50 [bar]",
                                        "0.200 [s]",  "0.020 [s]",  "0.080 [s]",  "0.300 [s]", "80 [-]",
                                        "80 [s]",     "15000 [ms]"};

// An EEPROM window on a bare monitor state, with time in the test's hands.
struct Bench {
    ManualTimeline timeline;
    StateEepromLink link;
    RecordingPrompts prompts;
    HpuEepromEditor editor{link, timeline, prompts};

    Bench() { editor.setLocale(QLocale::c()); }

    const EepromListRow& row(int r) const { return editor.listModel().rows[r]; }
    QString value(int r) const { return row(r).cells[kColValue]; }
    QString realValue(int r) const { return row(r).cells[kColRealValue]; }

    // Opens the window, answers the first request, and lets it return to idle (t = 1500).
    void readToIdle() {
        editor.open();
        timeline.advance(200);
        link.answerRead(defaultsReadAnswer());
        timeline.advance(1300);
        QCOMPARE(editor.Statut_EEPROM(), qint64(0));
        QVERIFY(!editor.Timer1().isRunning());
        QVERIFY(editor.listModel().enabled);
    }
};

} // namespace

// The EEPROM window's read and write sequence, driven by Timer1 on a manual timeline.
class TestEepromEditor : public QObject {
    Q_OBJECT
private slots:
    void freshWindow() {
        Bench b;
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(0));
        QCOMPARE(b.editor.progressValue(), qint64(-1));
        QCOMPARE(b.editor.Id(), qint64(-1));
        QCOMPARE(b.editor.Val(), qint64(-1));
        QCOMPARE(b.editor.Timer1().mode(), Timer::Off);
        QCOMPARE(b.editor.Timer1().period(), 1000);
        QCOMPARE(b.editor.listModel().rows.size(), 17);
        QCOMPARE(b.editor.listModel().heading.value(8), QStringLiteral("Real value"));
        QVERIFY(!b.editor.listModel().enabled);
        QCOMPARE(b.editor.ProgressBar1(), 0);
        QCOMPARE(b.value(0), QString());
    }

    void promptAnswerFillsEveryRowByAddress() {
        Bench b;
        b.editor.open();
        QCOMPARE(b.link.readRequests, 1);
        QCOMPARE(hexString(b.link.slot()), QStringLiteral("12 11 4C 02 00 71"));
        QVERIFY(b.link.monitorState.emissionRequest);
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(1));
        QCOMPARE(b.editor.progressValue(), qint64(9));
        QCOMPARE(b.editor.Timer1().mode(), Timer::Repeating);

        b.timeline.advance(300);
        b.link.answerRead(defaultsReadAnswer());
        b.timeline.advance(699);
        QVERIFY(!b.editor.listModel().enabled);
        b.timeline.advance(1); // first tick, 1000 ms after opening
        QCOMPARE(b.link.readRequests, 1);
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(0));
        QCOMPARE(b.editor.ProgressBar1(), 100);
        QVERIFY(b.editor.listModel().enabled);
        for (int r = 0; r < 17; ++r) {
            QCOMPARE(b.value(r), kDefaultValues[r]);
            QCOMPARE(b.realValue(r), kDefaultRealValues[r]);
            QVERIFY(!b.row(r).bold);
        }
        QCOMPARE(b.editor.fields().PRE_RPMNom, qint64(900));
        QCOMPARE(b.editor.Timer1().period(), 500);

        b.timeline.advance(500); // the idle step
        QCOMPARE(b.editor.ProgressBar1(), 0);
        QCOMPARE(b.editor.progressValue(), qint64(0));
        QVERIFY(!b.link.monitorState.reponseHPU);
        QVERIFY(!b.editor.Timer1().isRunning());
        QVERIFY(b.editor.listModel().enabled);
        b.timeline.advance(10000);
        QCOMPARE(b.link.readRequests, 1);
    }

    void realValuesFollowTheLocale() {
        Bench b;
        b.editor.setLocale(QLocale(QLocale::French, QLocale::France));
        b.editor.open();
        b.link.answerRead(defaultsReadAnswer());
        b.timeline.advance(1000);
        QCOMPARE(b.realValue(1), QStringLiteral("8,00 [bar]"));
        QCOMPARE(b.realValue(10), QStringLiteral("0,200 [s]"));
    }

    void silentUnitRepeatsTheRequestAndFillsTheBar() {
        Bench b;
        b.editor.open();
        QList<int> bar;
        for (int tick = 0; tick < 12; ++tick) {
            b.timeline.advance(tick == 0 ? 1000 : 500);
            bar.append(b.editor.ProgressBar1());
            QCOMPARE(b.link.readRequests, tick + 2);
            QVERIFY(!b.editor.listModel().enabled);
        }
        QCOMPARE(bar, (QList<int>{19, 29, 39, 49, 59, 69, 79, 89, 99, 100, 100, 100}));
        QCOMPARE(b.timeline.elapsedMs(), qint64(6500));
        QVERIFY(b.editor.Timer1().isRunning());
        QCOMPARE(b.value(3), QString());
        QCOMPARE(b.editor.Listbox_EEPROM_CellClick(3, 2), -1);
    }

    void answerLeftFromAnEarlierWindowIsNotTakenAsNew() {
        Bench b;
        b.link.answerRead(defaultsReadAnswer()); // came after the last window closed
        b.link.acknowledgeWrite();
        b.editor.open();
        QCOMPARE(b.link.readRequests, 1);
        QVERIFY(!b.link.monitorState.reponseHPU);
        QVERIFY(!b.link.monitorState.reponseecritureHPU);
        b.timeline.advance(1000);
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(1));
        QCOMPARE(b.link.readRequests, 2);
        QVERIFY(!b.editor.listModel().enabled);
    }

    void closingStopsTimer1() {
        Bench b;
        b.editor.open();
        b.timeline.advance(1500);
        QCOMPARE(b.link.readRequests, 3);
        b.editor.close();
        QVERIFY(!b.editor.Timer1().isRunning());
        b.timeline.advance(10000);
        QCOMPARE(b.link.readRequests, 3);
    }

    void writeCourse() {
        Bench b;
        b.readToIdle();
        QCOMPARE(b.editor.Listbox_EEPROM_CellClick(3, 2), 3);
        QVERIFY(b.editor.Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        QVERIFY(b.row(3).isBold(kColDescribtion) && b.row(3).isBold(kColValue) &&
                b.row(3).isBold(kColRealValue));
        QVERIFY(!b.row(3).isBold(kColAddress));
        QVERIFY(!b.editor.listModel().enabled);
        QCOMPARE(b.editor.Id(), qint64(33));
        QCOMPARE(b.editor.Val(), qint64(450));
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(2));
        QCOMPARE(hexString(b.link.slot()), QStringLiteral("12 11 45 05 21 01 C2 01 51"));
        QVERIFY(b.link.monitorState.emissionRequest);
        QCOMPARE(b.editor.progressValue(), qint64(10));
        QVERIFY(b.editor.Timer1().isRunning());
        QCOMPARE(b.editor.Timer1().period(), 500);
        // Only one write at a time: the list is disabled.
        QVERIFY(!b.editor.Listbox_EEPROM_CellAction(5, QStringLiteral("1000")));

        b.timeline.advance(500); // no acknowledgement: the request again
        QCOMPARE(b.link.writeRequests.size(), 2);
        QCOMPARE(b.editor.ProgressBar1(), 20);
        b.link.monitorState.emissionRequest = false; // sent
        b.timeline.advance(500);
        QVERIFY(b.link.monitorState.emissionRequest);
        QCOMPARE(b.link.writeRequests.size(), 3);

        b.link.acknowledgeWrite();
        b.timeline.advance(500); // acknowledgement seen: read-back
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(1));
        QCOMPARE(b.link.writeRequests.size(), 3);
        QCOMPARE(hexString(b.link.slot()), QStringLiteral("12 11 4C 02 00 71"));
        QCOMPARE(b.editor.ProgressBar1(), 50);
        QVERIFY(!b.editor.listModel().enabled);

        b.timeline.advance(500); // no answer yet: the read again
        QCOMPARE(b.editor.ProgressBar1(), 60);
        QVERIFY(b.row(3).bold);
        b.link.answerRead(readAnswerAfter450());
        b.timeline.advance(500);
        QCOMPARE(b.editor.ProgressBar1(), 100);
        QVERIFY(b.editor.listModel().enabled);
        QCOMPARE(b.value(3), QStringLiteral("450"));
        QCOMPARE(b.realValue(3), QStringLiteral("45.0 [V]"));
        QVERIFY(!b.row(3).bold);
        b.timeline.advance(500);
        QCOMPARE(b.editor.ProgressBar1(), 0);
        QVERIFY(!b.editor.Timer1().isRunning());
        QVERIFY(!b.link.monitorState.reponseecritureHPU);
        QCOMPARE(b.link.writeRequests, (QList<QPair<qint64, qint64>>{{33, 450}, {33, 450}, {33, 450}}));
    }

    void commitTakesAddressAndValue_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("address");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("request");
        QTest::newRow("typed integer")
            << 3 << "450" << qint64(33) << qint64(450) << "12 11 45 05 21 01 C2 01 51";
        QTest::newRow("spaces around")
            << 3 << " 450 " << qint64(33) << qint64(450) << "12 11 45 05 21 01 C2 01 51";
        QTest::newRow("one byte at its top")
            << 14 << "255" << qint64(43) << qint64(255) << "12 11 45 05 2B 00 FF 01 97";
        QTest::newRow("row 5 is address 36")
            << 5 << "450" << qint64(36) << qint64(450) << "12 11 45 05 24 01 C2 01 54";
        QTest::newRow("row 9 is address 32")
            << 9 << "12" << qint64(32) << qint64(12) << "12 11 45 05 20 00 0C 00 99";
        QTest::newRow("largest value")
            << 16 << "65535" << qint64(45) << qint64(65535) << "12 11 45 05 2D FF FF 02 98";
    }
    void commitTakesAddressAndValue() {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(qint64, address);
        QFETCH(qint64, value);
        QFETCH(QString, request);
        Bench b;
        b.readToIdle();
        QVERIFY(b.editor.Listbox_EEPROM_CellAction(row, text));
        QCOMPARE(b.editor.Id(), address);
        QCOMPARE(b.editor.Val(), value);
        QCOMPARE(b.link.writeRequests, (QList<QPair<qint64, qint64>>{{address, value}}));
        QCOMPARE(hexString(b.link.slot()), request);
        QVERIFY(b.prompts.questions.isEmpty());
        QVERIFY(b.prompts.refusals.isEmpty());
    }

    // Committed in the 500 ms between the read-back being shown and the idle step, while
    // the previous write's acknowledgement and read answer are still flagged.
    void staleFlagsDoNotEndANewWrite() {
        Bench b;
        b.readToIdle();
        QVERIFY(b.editor.Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        b.link.acknowledgeWrite();
        b.timeline.advance(500);
        b.link.answerRead(readAnswerAfter450());
        b.timeline.advance(500); // read-back shown; the idle step that clears the flags is 500 ms away
        QVERIFY(b.editor.listModel().enabled);
        b.link.acknowledgeWrite(); // a repeated request answered twice
        b.link.answerRead(readAnswerAfter450());

        b.timeline.advance(200);
        QVERIFY(b.editor.Listbox_EEPROM_CellAction(4, QStringLiteral("210")));
        QCOMPARE(hexString(b.link.slot()), QStringLiteral("12 11 45 05 22 00 D2 01 61"));
        b.timeline.advance(300); // the tick that would have been the idle step
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(2));
        QCOMPARE(b.link.writeRequests.last(), (QPair<qint64, qint64>{34, 210}));
        QCOMPARE(b.link.writeRequests.size(), 3);
        QVERIFY(!b.editor.listModel().enabled);
        QVERIFY(b.row(4).bold);
        QCOMPARE(b.value(4), QStringLiteral("210"));
    }

    void readAnswerBeforeTheAcknowledgementIsNotTheReadBack() {
        Bench b;
        b.readToIdle();
        QVERIFY(b.editor.Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        b.link.answerRead(defaultsReadAnswer()); // late answer to an earlier read request
        b.link.acknowledgeWrite();
        b.timeline.advance(500);
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(1));
        b.timeline.advance(500);
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(1));
        QVERIFY(!b.editor.listModel().enabled);
        QCOMPARE(b.link.readRequests, 3);
        b.link.answerRead(readAnswerAfter450());
        b.timeline.advance(500);
        QCOMPARE(b.value(3), QStringLiteral("450"));
    }

    void valueThatDoesNotFitTwoBytesIsRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("above 65535") << "70000";
        QTest::newRow("negative") << "-5";
        QTest::newRow("huge") << "99999999999999999999";
    }
    void valueThatDoesNotFitTwoBytesIsRefused() {
        QFETCH(QString, text);
        Bench b;
        b.readToIdle();
        const QByteArray slotBefore = b.link.slot();
        b.link.monitorState.emissionRequest = false;
        QVERIFY(!b.editor.Listbox_EEPROM_CellAction(3, text));
        QCOMPARE(b.prompts.refusals.size(), 1);
        QVERIFY(b.prompts.refusals[0].contains(QStringLiteral("65535")));
        QVERIFY(b.prompts.questions.isEmpty());
        QVERIFY(b.link.writeRequests.isEmpty());
        QCOMPARE(b.link.slot(), slotBefore);
        QVERIFY(!b.link.monitorState.emissionRequest);
        QCOMPARE(b.value(3), QStringLiteral("500"));
        QVERIFY(!b.row(3).bold);
        QVERIFY(b.editor.listModel().enabled);
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(0));
        QCOMPARE(b.editor.Val(), qint64(-1));
        b.timeline.advance(5000);
        QVERIFY(b.link.writeRequests.isEmpty());
    }

    void valueOutsideTheRangeNeedsConfirmation_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("restored");
        QTest::newRow("above max, declined") << 3 << "600" << false << "0 to 550"
                                             << "500";
        QTest::newRow("above max, confirmed") << 3 << "600" << true << "0 to 550"
                                              << "600";
        QTest::newRow("below min, declined") << 9 << "0" << false << "1 to 200"
                                             << "50";
    }
    void valueOutsideTheRangeNeedsConfirmation() {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(bool, confirmed);
        QFETCH(QString, range);
        QFETCH(QString, restored);
        Bench b;
        b.readToIdle();
        b.prompts.answer = confirmed;
        QCOMPARE(b.editor.Listbox_EEPROM_CellAction(row, text), confirmed);
        QCOMPARE(b.prompts.questions.size(), 1);
        QVERIFY2(b.prompts.questions[0].contains(range), qPrintable(b.prompts.questions[0]));
        QVERIFY(b.prompts.questions[0].contains(b.row(row).cells[kColDescribtion]));
        QVERIFY(b.prompts.refusals.isEmpty());
        QCOMPARE(b.value(row), restored);
        if (confirmed) {
            QCOMPARE(b.link.writeRequests.size(), 1);
            QCOMPARE(b.link.writeRequests[0].second, leadingInteger(text));
            QVERIFY(b.row(row).bold);
        } else {
            QVERIFY(b.link.writeRequests.isEmpty());
            QVERIFY(!b.row(row).bold);
            QVERIFY(b.editor.listModel().enabled);
            b.timeline.advance(5000);
            QVERIFY(b.link.writeRequests.isEmpty());
        }
    }

    // Refused before anything is sent, with the raw unit the row expects.
    void typedTextThatIsNotAWritableValueIsRefused_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty")
            << 1 << ""
            << "Nothing was typed. \"Max pressure\" takes a whole number of 0.01 bar (0 to 820).";
        QTest::newRow("only spaces") << 1 << "  "
                                     << "Nothing was typed.";
        QTest::newRow("letters") << 3 << "abc"
                                 << "\"abc\" is not a whole number. \"Max generator voltage\" takes a whole "
                                    "number of 0.1 V (0 to 550).";
        QTest::newRow("fraction") << 3 << "7.5"
                                  << "\"7.5\" is not a whole number.";
        QTest::newRow("number then text") << 3 << "45x"
                                          << "\"45x\" is not a whole number.";
        QTest::newRow("no unit") << 14 << "x"
                                 << "takes a whole number without unit (0 to 255)";
        QTest::newRow("one byte above 255")
            << 14 << "300"
            << "300 cannot be written: \"Motor PWM\" is held in one byte, 0 to 255.";
        QTest::newRow("one byte, 256") << 0 << "256"
                                       << "held in one byte";
        QTest::newRow("above 65535") << 16 << "65536"
                                     << "must lie between 0 and 65535";
    }
    void typedTextThatIsNotAWritableValueIsRefused() {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Bench b;
        b.readToIdle();
        const QString before = b.value(row);
        b.link.monitorState.emissionRequest = false;
        QVERIFY(!b.editor.Listbox_EEPROM_CellAction(row, text));
        QCOMPARE(b.prompts.refusals.size(), 1);
        QVERIFY2(b.prompts.refusals[0].contains(message), qPrintable(b.prompts.refusals[0]));
        QVERIFY(b.prompts.questions.isEmpty());
        QVERIFY(b.link.writeRequests.isEmpty());
        QVERIFY(!b.link.monitorState.emissionRequest);
        QCOMPARE(b.value(row), before);
        QVERIFY(b.editor.listModel().enabled);
    }

    // Return takes the text and disables the list at once; the check comes after.
    void takenEditHoldsTheListUntilChecked() {
        Bench b;
        b.readToIdle();
        QVERIFY(b.editor.takeEdit(3, QStringLiteral("600")));
        QVERIFY(!b.editor.listModel().enabled);
        QCOMPARE(b.editor.Listbox_EEPROM_CellClick(5, 2), -1);
        QVERIFY(!b.editor.takeEdit(5, QStringLiteral("1000")));
        QVERIFY(b.link.writeRequests.isEmpty());
        QVERIFY(!b.editor.canSave());
        b.prompts.answer = false;
        QVERIFY(!b.editor.writeTakenEdit());
        QVERIFY(b.editor.listModel().enabled);
        QCOMPARE(b.value(3), QStringLiteral("500"));
        QVERIFY(!b.editor.writeTakenEdit()); // taken once
        QCOMPARE(b.prompts.questions.size(), 1);
    }

    void closingAbandonsATakenEdit() {
        Bench b;
        b.readToIdle();
        QVERIFY(b.editor.takeEdit(3, QStringLiteral("450")));
        b.editor.close();
        QVERIFY(!b.editor.writeTakenEdit());
        b.timeline.advance(5000);
        QVERIFY(b.link.writeRequests.isEmpty());
    }

    // A late read answer during a write is not the write's read-back: the list stays
    // disabled until the acknowledgement and the read that follows it.
    void strayReadAnswerDuringAWriteKeepsTheListDisabled() {
        Bench b;
        b.readToIdle();
        QVERIFY(b.editor.Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        b.link.answerRead(defaultsReadAnswer());
        b.timeline.advance(500);
        QCOMPARE(b.editor.Statut_EEPROM(), qint64(2));
        QVERIFY(!b.editor.listModel().enabled);
        QVERIFY(b.row(3).bold);
        QCOMPARE(b.value(3), QStringLiteral("450"));
        b.link.acknowledgeWrite();
        b.timeline.advance(500);
        QVERIFY(!b.editor.listModel().enabled);
        b.link.answerRead(readAnswerAfter450());
        b.timeline.advance(500);
        QVERIFY(b.editor.listModel().enabled);
        QVERIFY(!b.row(3).bold);
    }

    // Cancel during a single write: the request still waiting is withdrawn, one already sent
    // is read back, and the account says which it was.
    void cancelDuringAWrite_data() {
        QTest::addColumn<bool>("sent");
        QTest::addColumn<QByteArray>("readBack"); // empty: the HPU does not answer
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("shown");
        QTest::newRow("before it leaves")
            << false << QByteArray() << "Cancelled: \"Max generator voltage\" was not written."
            << "500";
        QTest::newRow("sent, and the HPU took it")
            << true << readAnswerAfter450()
            << "Cancelled: \"Max generator voltage\" was written and verified."
            << "450";
        QTest::newRow("sent, and the HPU kept its value")
            << true << defaultsReadAnswer() << "Cancelled: \"Max generator voltage\" was not written."
            << "500";
        QTest::newRow("sent, and the HPU silent")
            << true << QByteArray()
            << "Cancelled: \"Max generator voltage\" is not confirmed: the HPU did not answer the read-back. "
               "Close and reopen the window to read what the HPU holds."
            << "500";
    }
    void cancelDuringAWrite() {
        QFETCH(bool, sent);
        QFETCH(QByteArray, readBack);
        QFETCH(QString, report);
        QFETCH(QString, shown);
        Bench b;
        QStringList reports;
        QObject::connect(&b.editor, &HpuEepromEditor::writeEnded,
                         [&reports](const QString& text) { reports.append(text); });
        b.readToIdle();
        QVERIFY(b.editor.Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        if (sent)
            b.link.send();
        QVERIFY(b.editor.isBusy());
        b.editor.cancel();
        QVERIFY(!b.link.monitorState.emissionRequest);
        if (sent) {
            QCOMPARE(b.editor.mode(), HpuEepromEditor::Mode::Cancelling);
            b.timeline.advance(500);
            QCOMPARE(hexString(b.link.slot()), QStringLiteral("12 11 4C 02 00 71")); // the read-back
            if (!readBack.isEmpty())
                b.link.answerRead(readBack);
            b.timeline.advance(HpuEepromEditor::kCancelReadBackMs + 500);
        }
        QCOMPARE(reports, QStringList{report});
        QCOMPARE(b.editor.mode(), HpuEepromEditor::Mode::Ready);
        QVERIFY(b.editor.listModel().enabled);
        QCOMPARE(b.value(3), shown);
        QVERIFY(!b.row(3).bold);
        QCOMPARE(b.link.writeRequests.size(), 1);
        QVERIFY(!b.link.monitorState.emissionRequest); // nothing of it left in the slot
        const int reads = b.link.readRequests;
        b.timeline.advance(3000);
        QCOMPARE(b.link.writeRequests.size(), 1);
        QCOMPARE(b.link.readRequests, reads);
        QVERIFY(!b.link.monitorState.emissionRequest);
    }

    // Acknowledged, but the read-back shows the old value: told, not shown as written.
    void readBackThatDiffersIsTold() {
        Bench b;
        QStringList reports;
        QObject::connect(&b.editor, &HpuEepromEditor::writeEnded,
                         [&reports](const QString& text) { reports.append(text); });
        b.readToIdle();
        QVERIFY(b.editor.Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        b.link.send();
        b.link.acknowledgeWrite();
        b.timeline.advance(500);
        b.link.answerRead(defaultsReadAnswer());
        b.timeline.advance(500);
        const QString told = QStringLiteral("\"Max generator voltage\" written, but the HPU holds 500.");
        QCOMPARE(reports, QStringList{told});
        QCOMPARE(b.editor.statusText(), told);
        QCOMPARE(b.value(3), QStringLiteral("500"));
        QVERIFY(!b.row(3).bold);
        QVERIFY(b.editor.listModel().enabled);
    }

    // The board number of every read-back is the one the restore started with.
    void restoreStopsWhenTheBoardChanges() {
        Bench b;
        QStringList reports;
        QObject::connect(&b.editor, &HpuEepromEditor::restoreEnded,
                         [&reports](const QString& text) { reports.append(text); });
        b.readToIdle();
        EepromBackup file = b.editor.backup(QStringLiteral("2.3.3"), QDateTime::currentDateTimeUtc());
        for (EepromBackupParameter& p : file.parameters) {
            if (p.address == 33)
                p.raw = 450;
            if (p.address == 34)
                p.raw = 210;
        }
        QVERIFY(b.editor.compareWith(file));
        b.prompts.answer = true;
        QVERIFY(b.editor.writeDifferences());
        b.link.send();
        b.link.acknowledgeWrite();
        b.timeline.advance(500);
        QByteArray otherBoard = readAnswerAfter450();
        otherBoard[32] = char(0x2B); // board 43: another HPU answers now
        b.link.answerRead(otherBoard);
        b.timeline.advance(500);
        QCOMPARE(reports,
                 QStringList{QStringLiteral("Restore stopped: the HPU's board number changed from 42 to 43. "
                                            "Written and read back: \"Max generator voltage\". Not written: "
                                            "\"Min generator voltage\".")});
        QCOMPARE(b.link.writeRequests, (QList<QPair<qint64, qint64>>{{33, 450}}));
        b.timeline.advance(3000);
        QCOMPARE(b.link.writeRequests.size(), 1);
        QVERIFY(!b.editor.isRestoring());
    }

    void silentUnitAfterACommitRepeatsTheWrite() {
        Bench b;
        b.readToIdle();
        QVERIFY(b.editor.Listbox_EEPROM_CellAction(3, QStringLiteral("450")));
        b.timeline.advance(30000);
        QCOMPARE(b.link.writeRequests.size(), 61);
        QCOMPARE(b.editor.ProgressBar1(), 100);
        QVERIFY(!b.editor.listModel().enabled);
        QVERIFY(b.row(3).bold);
        b.editor.close();
        b.timeline.advance(5000);
        QCOMPARE(b.link.writeRequests.size(), 61);
    }
};

QTEST_GUILESS_MAIN(TestEepromEditor)
#include "tst_eepromeditor.moc"

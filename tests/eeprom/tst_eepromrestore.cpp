#include "EepromTestDoubles.h"
#include "SimulatedLine.h"
#include "eeprom/EepromBackup.h"
#include "eeprom/HpuEepromEditor.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The EEPROM window's logic on the simulated installation, with its first read shown.
struct Restoring : SimulatedLine {
    RecordingPrompts prompts;
    HpuEepromEditor editor{link, timeline, prompts};
    QStringList reports;

    Restoring() {
        editor.setLocale(QLocale::c());
        QObject::connect(&editor, &HpuEepromEditor::restoreEnded,
                         [this](const QString& report) { reports.append(report); });
        editor.open();
        QVERIFY(runUntil([this] { return editor.listModel().enabled; }, 5000));
        timeline.advance(500); // the idle step
        QVERIFY(editor.canSave());
    }

    // What the HPU holds, with three parameters changed: one outside its range, one of one
    // byte, one at the top of two bytes' range.
    EepromBackup changedBackup() {
        EepromBackup file = editor.backup(QStringLiteral("2.3.3"), QDateTime::currentDateTimeUtc());
        for (EepromBackupParameter& p : file.parameters) {
            if (p.address == 33)
                p.raw = 600; // Max generator voltage, Max 550
            if (p.address == 40)
                p.raw = 5; // Solenoid aperture time in high pressure, one byte
            if (p.address == 45)
                p.raw = 20000;
        }
        return file;
    }

    bool restoreEnded(int maxMs) {
        return runUntil([this] { return !reports.isEmpty(); }, maxMs);
    }
};

QString file(const QString& entries, const QString& header = QStringLiteral("\"boardNumber\": 42, ")) {
    return QStringLiteral("{\"toolVersion\": \"2.3.3\", %1\"parameters\": [%2]}").arg(header, entries);
}

} // namespace

// Backup files, and the restore that writes a file's differences back to the HPU, against
// the simulated installation's EEPROM.
class TestEepromRestore : public QObject {
    Q_OBJECT
private slots:
    void backupHoldsWhatTheHpuShows() {
        Restoring r;
        const QDateTime at(QDate(2026, 12, 10), QTime(7, 5, 30), Qt::UTC);
        const EepromBackup backup = r.editor.backup(EepromBackup::currentToolVersion(), at);
        QCOMPARE(EepromBackup::defaultFileName(backup.boardNumber, at),
                 QStringLiteral("HPU_42_2026-12-10_0705.json"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("HPU_42.json"));
        QCOMPARE(writeEepromBackupFile(path, backup), QString());
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QJsonObject root = QJsonDocument::fromJson(written.readAll()).object();
        QCOMPARE(root.value(QStringLiteral("toolVersion")).toString(), EepromBackup::currentToolVersion());
        QCOMPARE(root.value(QStringLiteral("savedAt")).toString(), QStringLiteral("2026-12-10T07:05:30Z"));
        QCOMPARE(root.value(QStringLiteral("boardNumber")).toInt(), 42);
        QCOMPARE(root.value(QStringLiteral("softwareVersion")).toInt(),
                 int(r.port.installation().hpu().eeprom().softwareVersion()));
        const QJsonArray parameters = root.value(QStringLiteral("parameters")).toArray();
        QCOMPARE(parameters.size(), 17);
        const QJsonObject maxPressure = parameters[1].toObject();
        QCOMPARE(maxPressure.value(QStringLiteral("address")).toInt(), 30);
        QCOMPARE(maxPressure.value(QStringLiteral("identifier")).toString(), QStringLiteral("PRESSION_MAX"));
        QCOMPARE(maxPressure.value(QStringLiteral("description")).toString(), QStringLiteral("Max pressure"));
        QCOMPARE(maxPressure.value(QStringLiteral("raw")).toInt(), r.eeprom().value(30));
        QCOMPARE(maxPressure.value(QStringLiteral("physical")).toString(),
                 r.editor.listModel().rows[1].cells[kColRealValue]);
        QCOMPARE(maxPressure.value(QStringLiteral("unit")).toString(), QStringLiteral("0.01 bar"));

        // Read back, it compares equal with the HPU it came from.
        const EepromBackupReading reading = readEepromBackupFile(path);
        QVERIFY2(reading.ok, qPrintable(reading.error));
        QVERIFY(r.editor.compareWith(reading.backup));
        QVERIFY(r.editor.differences().isEmpty());
        QCOMPARE(r.editor.listModel().rows[1].fileValue, QString::number(r.eeprom().value(30)));
    }

    void savingIntoAMissingFolderFailsWithoutAFile() {
        Restoring r;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("no such folder/HPU_42.json"));
        const QString error =
            writeEepromBackupFile(path, r.editor.backup(QStringLiteral("2.3.3"), QDateTime()));
        QVERIFY(error.contains(path));
        QVERIFY(!QFile::exists(path));
    }

    void restoreWritesOnlyTheDifferencesAndVerifiesThem() {
        Restoring r;
        const int pwmBefore = r.eeprom().value(43);
        EepromBackup file = r.changedBackup();
        file.boardNumber = 43; // cloning from another turbine
        QVERIFY(r.editor.compareWith(file));
        QCOMPARE(r.editor.differences(), (QVector<qint64>{33, 40, 45}));
        QVERIFY(r.editor.listModel().rows[3].differs);
        QVERIFY(!r.editor.listModel().rows[1].differs);

        r.prompts.answer = true;
        QVERIFY(r.editor.writeDifferences());
        QCOMPARE(r.prompts.questions.size(), 1);
        const QString question = r.prompts.questions[0];
        QVERIFY2(question.contains(QStringLiteral("Write 3 parameters")), qPrintable(question));
        QVERIFY2(question.contains(QStringLiteral("Max generator voltage: 600 is outside 0 to 550")),
                 qPrintable(question));
        QVERIFY2(question.contains(QStringLiteral("board 43; this HPU is board 42")), qPrintable(question));
        QVERIFY(!question.contains(QStringLiteral("software version")));
        QVERIFY(r.editor.isRestoring());
        QVERIFY(!r.editor.listModel().enabled);

        QVERIFY(r.restoreEnded(30000));
        QCOMPARE(r.reports, QStringList{QStringLiteral("3 parameters written, all verified")});
        QCOMPARE(r.eeprom().value(33), 600);
        QCOMPARE(r.eeprom().value(40), 5);
        QCOMPARE(r.eeprom().value(45), 20000);
        QCOMPARE(r.eeprom().value(43), pwmBefore);
        // One at a time, and the unchanged parameters never sent.
        QCOMPARE(r.writeOrder(), (QList<int>{33, 40, 45}));
        QVERIFY(!r.editor.isRestoring());
        QVERIFY(r.editor.listModel().enabled);
        QVERIFY(r.editor.differences().isEmpty());
        QCOMPARE(r.editor.listModel().rows[3].cells[kColValue], QStringLiteral("600"));
        QVERIFY(r.runUntil([&r] { return !r.editor.Timer1().isRunning(); }, 1000));
        const int commands = r.commandCount();
        r.timeline.advance(3000);
        QCOMPARE(r.commandCount(), commands);
    }

    void declinedRestoreSendsNothing() {
        Restoring r;
        QVERIFY(r.editor.compareWith(r.changedBackup()));
        const int commands = r.commandCount();
        r.prompts.answer = false;
        QVERIFY(!r.editor.writeDifferences());
        r.timeline.advance(3000);
        QCOMPARE(r.commandCount(), commands);
        QVERIFY(r.editor.listModel().enabled);
        QVERIFY(r.reports.isEmpty());
    }

    // Cancel withdraws the request still waiting; a write already on the line is read back.
    void cancelFinishesTheExchangeInProgress_data() {
        QTest::addColumn<bool>("firstSent");
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<QString>("notWritten");
        QTest::newRow("before the first request leaves")
            << false << "none"
            << "\"Max generator voltage\", \"Solenoid aperture time in high pressure\", \"Full pumping for "
               "feathering before immersion\"";
        QTest::newRow("with the first request on the line")
            << true << "\"Max generator voltage\""
            << "\"Solenoid aperture time in high pressure\", \"Full pumping for feathering before "
               "immersion\"";
    }
    void cancelFinishesTheExchangeInProgress() {
        QFETCH(bool, firstSent);
        QFETCH(QString, readBack);
        QFETCH(QString, notWritten);
        Restoring r;
        QVERIFY(r.editor.compareWith(r.changedBackup()));
        r.prompts.answer = true;
        QVERIFY(r.editor.writeDifferences());
        if (firstSent)
            QVERIFY(r.runUntil([&r] { return !r.writtenAddresses().isEmpty(); }, 5000));
        r.editor.cancelRestore();
        QVERIFY(r.restoreEnded(HpuEepromEditor::kCancelReadBackMs + 2000));
        QCOMPARE(r.writeOrder(), firstSent ? QList<int>{33} : QList<int>{});
        QCOMPARE(r.eeprom().value(33), firstSent ? 600 : 500);
        QCOMPARE(r.eeprom().value(40), int(Sim::SimulatedEeprom::factoryValue(40)));
        QCOMPARE(r.reports,
                 QStringList{QStringLiteral("Restore cancelled. Written and read back: %1. Not written: %2.")
                                 .arg(readBack, notWritten)});
        QVERIFY(r.editor.listModel().enabled);
        QVERIFY(!r.editor.isBusy());
        // The read-back of the one written shows; the others still differ.
        QCOMPARE(r.editor.differences(),
                 firstSent ? (QVector<qint64>{40, 45}) : (QVector<qint64>{33, 40, 45}));
        const int commands = r.commandCount();
        r.timeline.advance(3000);
        QCOMPARE(r.commandCount(), commands);
    }

    // The HPU acknowledges a parameter but keeps its old value: the restore says so, for that
    // parameter, rather than "all verified".
    void restoreTellsWhatTheHpuDidNotTake() {
        Restoring r;
        QVERIFY(r.editor.compareWith(r.changedBackup()));
        r.prompts.answer = true;
        // As soon as the HPU has stored 20000 (its acknowledgement leaves), it is back to 15000.
        bool tookBack = false;
        QObject::connect(&r.port.installation(), &Sim::SimulatedInstallation::bytesSent, [&r, &tookBack] {
            if (r.eeprom().value(45) == 20000)
                tookBack = r.eeprom().store(45, 15000);
        });
        QVERIFY(r.editor.writeDifferences());
        QVERIFY(r.restoreEnded(30000));
        QVERIFY(tookBack);
        QCOMPARE(r.reports, QStringList{QStringLiteral(
                                "3 parameters written; these differ from the file:\n"
                                "  Full pumping for feathering before immersion: HPU 15000, file 20000")});
        QCOMPARE(r.editor.differences(), QVector<qint64>{45});
        QCOMPARE(r.writeOrder(), (QList<int>{33, 40, 45}));
    }

    void restoreEndsOnASilentHpuOrALostLine_data() {
        QTest::addColumn<bool>("lineLost");
        QTest::addColumn<QString>("reason");
        QTest::newRow("HPU silent") << false << "the HPU did not answer";
        QTest::newRow("line lost") << true << "the connection was lost";
    }
    void restoreEndsOnASilentHpuOrALostLine() {
        QFETCH(bool, lineLost);
        QFETCH(QString, reason);
        Restoring r;
        QVERIFY(r.editor.compareWith(r.changedBackup()));
        r.prompts.answer = true;
        QVERIFY(r.editor.writeDifferences());
        // The second parameter's request is queued when the line goes.
        QVERIFY(r.runUntil([&r] { return r.editor.Id() == 40; }, 10000));
        if (lineLost)
            r.monitor.ConnectButton_Action(); // unplugged
        else
            r.port.installation().stop();
        QVERIFY(r.restoreEnded(HpuEepromEditor::kRestoreSilenceMs + 1000));
        const QString report = r.reports[0];
        QVERIFY2(report.contains(reason), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("Written and read back: \"Max generator voltage\"")),
                 qPrintable(report));
        // The second request, if it left, reached nobody who answered: not confirmed. If it was
        // still waiting, it was withdrawn: not written, as the third.
        if (r.writtenAddresses().contains(40)) {
            QVERIFY2(
                report.contains(QStringLiteral("Not confirmed: \"Solenoid aperture time in high pressure\"")),
                qPrintable(report));
            QVERIFY2(report.contains(
                         QStringLiteral("Not written: \"Full pumping for feathering before immersion\".")),
                     qPrintable(report));
        } else {
            QVERIFY2(
                report.contains(QStringLiteral("Not written: \"Solenoid aperture time in high pressure\", "
                                               "\"Full pumping for feathering before immersion\".")),
                qPrintable(report));
            QVERIFY(!report.contains(QStringLiteral("Not confirmed")));
        }
        QVERIFY(!r.editor.isRestoring());
        QVERIFY(!r.editor.Timer1().isRunning());
        QVERIFY(r.editor.listModel().enabled);
        // The second request may have reached a silent HPU unanswered; nothing after it left.
        QCOMPARE(r.writeOrder().value(0), 33);
        QVERIFY(!r.writtenAddresses().contains(45));
        const int commands = r.commandCount();
        r.timeline.advance(5000);
        QCOMPARE(r.commandCount(), commands);
    }

    void damagedFileIsRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QString good =
            QStringLiteral("{\"address\": 33, \"identifier\": \"TENSION_ALTERNATEUR_HAUTE\", \"unit\": \"0.1 "
                           "V\", \"raw\": 450}");
        QTest::newRow("truncated JSON") << file(good).toUtf8().left(40) << "not a well-formed JSON file";
        QTest::newRow("unknown address")
            << file(good + QStringLiteral(", {\"address\": 47, \"raw\": 1}")).toUtf8()
            << "Entry 2 of the file: address 47 holds no HPU parameter";
        QTest::newRow("duplicate address")
            << file(good + QStringLiteral(", {\"address\": 33, \"raw\": 500}")).toUtf8()
            << "Entry 2 of the file: address 33 appears more than once";
        QTest::newRow("70000") << file(QStringLiteral("{\"address\": 45, \"raw\": 70000}")).toUtf8()
                               << "Entry 1 of the file (address 45): 70000 lies outside 0 to 65535";
        QTest::newRow("300 for a one-byte parameter")
            << file(good + QStringLiteral(", {\"address\": 43, \"raw\": 300}")).toUtf8()
            << "Entry 2 of the file (address 43): 300 lies outside 0 to 255";
        QTest::newRow("negative") << file(QStringLiteral("{\"address\": 30, \"raw\": -1}")).toUtf8()
                                  << "Entry 1 of the file (address 30): -1 lies outside 0 to 65535";
        QTest::newRow("fraction") << file(QStringLiteral("{\"address\": 40, \"raw\": 7.5}")).toUtf8()
                                  << "Entry 1 of the file (address 40): 7.5 is not a whole number";
        QTest::newRow("raw value as text")
            << file(QStringLiteral("{\"address\": 40, \"raw\": \"5\"}")).toUtf8()
            << "Entry 1 of the file (address 40) has no raw value";
        QTest::newRow("another parameter's identifier")
            << file(good + QStringLiteral(", {\"address\": 30, \"identifier\": \"PRESSION_MIN\", "
                                          "\"unit\": \"0.01 bar\", \"raw\": 50}"))
                   .toUtf8()
            << "Entry 2 of the file (address 30) is PRESSION_MIN in \"0.01 bar\", but address 30 holds "
               "PRESSION_MAX in \"0.01 bar\".";
        QTest::newRow("another unit")
            << file(QStringLiteral("{\"address\": 33, \"identifier\": \"TENSION_ALTERNATEUR_HAUTE\", "
                                   "\"unit\": \"V\", \"raw\": 45}"))
                   .toUtf8()
            << "Entry 1 of the file (address 33) is TENSION_ALTERNATEUR_HAUTE in \"V\", but address 33";
        QTest::newRow("no identifier") << file(QStringLiteral("{\"address\": 33, \"raw\": 450}")).toUtf8()
                                       << "Entry 1 of the file (address 33) is unnamed in \"\"";
        QTest::newRow("no parameters") << file(QString()).toUtf8() << "list of HPU parameters is empty";
        QTest::newRow("not a backup") << QByteArray("[1, 2, 3]") << "holds no list of HPU parameters";
        QTest::newRow("board number as text")
            << file(good, QStringLiteral("\"boardNumber\": \"x\", ")).toUtf8()
            << "boardNumber is not a whole number";
        QByteArray large = file(good).toUtf8();
        large.append(QByteArray(10 * 1024 * 1024, ' '));
        QTest::newRow("10 MB file") << large << "larger than 64 KiB";
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage.append(char((i * 73 + 11) & 0xFF));
        QTest::newRow("binary garbage") << garbage << "not a well-formed JSON file";
    }
    void damagedFileIsRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("HPU_42.json"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(bytes), qint64(bytes.size()));
        out.close();
        const EepromBackupReading reading = readEepromBackupFile(path);
        QVERIFY(!reading.ok);
        QVERIFY2(reading.error.contains(error), qPrintable(reading.error));
    }

    void fileWithSomeParametersIsComparedOnThoseOnly() {
        Restoring r;
        const EepromBackupReading reading = parseEepromBackup(
            file(QStringLiteral("{\"address\": 33, \"identifier\": \"TENSION_ALTERNATEUR_HAUTE\", \"unit\": "
                                "\"0.1 V\", \"raw\": 450}, {\"address\": 43, \"identifier\": "
                                "\"PWM_MOTEUR_NOMINALE\", \"unit\": \"-\", \"raw\": 255}"),
                 QString())
                .toUtf8());
        QVERIFY2(reading.ok, qPrintable(reading.error));
        QCOMPARE(reading.backup.boardNumber, qint64(-1));
        QVERIFY(r.editor.compareWith(reading.backup));
        QCOMPARE(r.editor.listModel().rows[3].fileValue, QStringLiteral("450"));
        QCOMPARE(r.editor.listModel().rows[1].fileValue, QString());
        QCOMPARE(r.editor.differences().size(), r.eeprom().value(43) == 255 ? 1 : 2);
        // A file that does not say where it came from is questioned like one from another HPU.
        r.prompts.answer = false;
        QVERIFY(!r.editor.writeDifferences());
        QCOMPARE(r.prompts.questions.size(), 1);
        QVERIFY2(r.prompts.questions[0].contains(QStringLiteral(
                     "The file does not say which HPU board it was saved from; this HPU is board 42.")),
                 qPrintable(r.prompts.questions[0]));
        QVERIFY2(
            r.prompts.questions[0].contains(QStringLiteral(
                "The file does not say which HPU software version it was saved from; this HPU runs 112.")),
            qPrintable(r.prompts.questions[0]));
    }
};

QTEST_GUILESS_MAIN(TestEepromRestore)
#include "tst_eepromrestore.moc"

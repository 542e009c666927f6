// The energy total on real files in a temporary folder: integration, restarts, power cuts.
#include "Files.h"
#include "core/EnergyMeter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A meter run for seconds at watts, then left without a goodbye (a power cut).
void run(EnergyMeter& meter, int seconds, std::optional<double> watts) {
    for (int s = 0; s < seconds; ++s)
        QCOMPARE(meter.addSecond(watts), QString());
}

} // namespace

class TestEnergyMeter : public QObject {
    Q_OBJECT
private slots:
    void knownPowerOverKnownSecondsAndOnlyThose() {
        QTemporaryDir dir;
        EnergyMeter meter(dir.filePath(EnergyMeter::fileNameFor(QStringLiteral("t1"))));
        QCOMPARE(meter.load(), QString()); // first run: nothing to tell
        QCOMPARE(meter.totalKwh().value_or(-1), 0.0);
        run(meter, 60, 600.0);        // 600 W for a minute: 10 Wh
        run(meter, 30, std::nullopt); // converter silent: unknown adds nothing
        run(meter, 30, -50.0);        // a negative reading never takes from a total
        QCOMPARE(meter.totalKwh().value_or(-1), 0.01);
        QVERIFY(QFile::exists(meter.filePath()));
    }

    void aRestartGoesOnFromTheSavedTotal() {
        QTemporaryDir dir;
        const QString path = dir.filePath(EnergyMeter::fileNameFor(QStringLiteral("t1")));
        {
            EnergyMeter meter(path);
            meter.load();
            run(meter, 120, 1800.0); // 60 Wh
            QCOMPARE(meter.save(), QString());
        }
        EnergyMeter again(path);
        QCOMPARE(again.load(), QString());
        QCOMPARE(again.totalKwh().value_or(-1), 0.06);
        run(again, 60, 3600.0);
        QCOMPARE(again.totalKwh().value_or(-1), 0.12);
    }

    void aPowerCutLosesAtMostTheLastMinute() {
        QTemporaryDir dir;
        const QString path = dir.filePath(EnergyMeter::fileNameFor(QStringLiteral("t1")));
        {
            EnergyMeter meter(path);
            meter.load();
            run(meter, EnergyMeter::kSavePeriodSeconds + 59, 3600.0); // no save at the end
        }
        EnergyMeter after(path);
        QCOMPARE(after.load(), QString());
        QCOMPARE(after.totalKwh().value_or(-1), 0.06); // the first minute, saved on its own
    }

    void aDamagedTotalGoesOnFromItsCopyAndSaysSo_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("left empty by a power cut") << QByteArray();
        QTest::newRow("cut inside the number") << QByteArray("velmora energy total\nkWh=");
        QTest::newRow("garbage") << QByteArray("\x00\x00\x00\x00\x7f", 5);
        QTest::newRow("negative") << QByteArray("velmora energy total\nkWh=-3\n");
    }
    void aDamagedTotalGoesOnFromItsCopyAndSaysSo() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(EnergyMeter::fileNameFor(QStringLiteral("t1")));
        {
            EnergyMeter meter(path);
            meter.load(); // the copy is made at start
            run(meter, 60, 3600.0);
            meter.save();
        }
        {
            EnergyMeter meter(path);
            meter.load(); // copy of 0.06 kWh
            run(meter, 60, 3600.0);
            meter.save(); // 0.12 kWh in the file
        }
        writeFile(path, content);
        EnergyMeter meter(path);
        const QString message = meter.load();
        QVERIFY2(message.contains(QLatin1String("damaged")), qPrintable(message));
        QVERIFY2(message.contains(QLatin1String("copy")), qPrintable(message));
        QVERIFY2(message.contains(QLatin1String("0.060 kWh")), qPrintable(message));
        QCOMPARE(meter.totalKwh().value_or(-1), 0.06);
        QCOMPARE(readAll(meter.damagedPath()), content); // kept for whoever wants to look
        EnergyMeter next(path);
        QCOMPARE(next.load(), QString()); // the total was written again at once
        QCOMPARE(next.totalKwh().value_or(-1), 0.06);
    }

    void aDamagedTotalWithoutCopyStartsAgainFromZeroAndSaysSo() {
        QTemporaryDir dir;
        const QString path = dir.filePath(EnergyMeter::fileNameFor(QStringLiteral("t1")));
        writeFile(path, QByteArray());
        EnergyMeter meter(path);
        const QString message = meter.load();
        QVERIFY2(message.contains(QLatin1String("no good copy")), qPrintable(message));
        QVERIFY2(message.contains(QLatin1String("0 kWh")), qPrintable(message));
        QCOMPARE(meter.totalKwh().value_or(-1), 0.0);
    }

    void aFolderThatComesLateKeepsTheSecondsCountedMeanwhile() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("logs"));
        const QString path = QDir(folder).filePath(EnergyMeter::fileNameFor(QStringLiteral("t1")));
        QVERIFY(QDir().mkpath(folder));
        {
            EnergyMeter earlier(path);
            earlier.load();
            run(earlier, 60, 36000.0); // 0.6 kWh from an earlier run
            earlier.save();
        }
        QVERIFY(QDir().rename(folder, folder + QStringLiteral("-unmounted"))); // the SD card not there yet

        EnergyMeter meter(path);
        QVERIFY(meter.load().contains(QLatin1String("waits for the folder")));
        QVERIFY(!meter.totalKwh()); // not known: never published as a small total
        for (int s = 0; s < 30; ++s)
            meter.addSecond(3600.0);
        QVERIFY(!meter.totalKwh());
        QVERIFY(QDir().rename(folder + QStringLiteral("-unmounted"), folder));
        run(meter, 30, 3600.0); // the save of the minute finds the folder and the earlier total
        QVERIFY(meter.isLoaded());
        QCOMPARE(meter.totalKwh().value_or(-1), 0.66);
        EnergyMeter after(path);
        after.load();
        QCOMPARE(after.totalKwh().value_or(-1), 0.66); // the earlier total was added to, not overwritten
    }
};

QTEST_GUILESS_MAIN(TestEnergyMeter)
#include "tst_energymeter.moc"

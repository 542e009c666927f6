#include "Files.h"
#include "trends/EnergyTally.h"
#include "trends/ProductionReader.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

// The energy made each day, from the CSV logs of one adapter in the log folder: a month of
// hand-made logs (gaps, silent seconds, damaged and torn lines, a clock set back and forward,
// a decimal-comma day, empty and binary files, other adapters and months beside them), the
// live seconds joined to today's log, and the daily totals written as CSV.
namespace {

const QByteArray kHeader = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];\n";
const QString kAdapter = QStringLiteral("FT4ABCDE");

// Data lines of one power a second, from the time of day from for count seconds.
QByteArray seconds(QTime from, int count, const char* power, char separator = '.') {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        QByteArray line = from.addSecs(i).toString(QStringLiteral("HH:mm:ss")).toLatin1() +
                          ";48.512;27.310;05.120;" + power + ";1520;35.2;\n";
        if (separator != '.')
            line.replace('.', separator);
        text += line;
    }
    return text;
}

QString logPath(const QTemporaryDir& dir, const QDate& date, const QString& adapter = kAdapter) {
    return dir.filePath(date.toString(QStringLiteral("yyyy_MM_dd")) + QStringLiteral("_LogOrvane_") + adapter +
                        QStringLiteral(".csv"));
}

TrendPoint powerAt(const QDateTime& time, std::optional<double> watts) {
    TrendPoint p;
    p.time = time.toMSecsSinceEpoch();
    p.set(TrendChannel::OutputPower, watts);
    return p;
}

constexpr double kJoulesPerKWh = 3.6e6;

} // namespace

class TestDailyEnergy : public QObject {
    Q_OBJECT
private slots:
    // A month of logs of one adapter, each day with what a field leaves in its logs.
    void aMonthOfHandMadeLogs() {
        QTemporaryDir dir;
        const auto day = [](int d) { return QDate(2026, 3, d); };
        // 1: an hour at 100 W.
        writeFile(logPath(dir, day(1)), kHeader + seconds(QTime(10, 0), 3600, "100.0"));
        // 2: ten minutes at 360 W, ten minutes missing (the tool closed), ten minutes of a
        // silent converter (-1), ten minutes at 720 W with a damaged line and a line cut short
        // in place of two of its seconds.
        writeFile(logPath(dir, day(2)),
                  kHeader + seconds(QTime(10, 0), 600, "360.0") + seconds(QTime(10, 20), 600, "-01.0") +
                      seconds(QTime(10, 30), 300, "720.0") + "10:35:00;48.512;27.310;x;720.0;1520;35.2;\n" +
                      "10:35:01;48.512;27.3\n" + seconds(QTime(10, 35, 2), 298, "720.0"));
        // 3: the clock set back by five minutes at 08:10, then forward by an hour at 08:15.
        // The seconds 08:05 to 08:10 logged twice count once (the first reading stands); the
        // hour skipped is a gap.
        writeFile(logPath(dir, day(3)), kHeader + seconds(QTime(8, 0), 600, "600.0") +
                                            seconds(QTime(8, 5), 600, "1200.0") +
                                            seconds(QTime(9, 15), 300, "600.0"));
        // 4: a French log, decimal commas, with the HPU columns.
        QByteArray french = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];"
                            "Mode HPU;Pression (bar);Correction pitch;\n";
        for (int i = 0; i < 1800; ++i)
            french += QTime(14, 0).addSecs(i).toString(QStringLiteral("HH:mm:ss")).toLatin1() +
                      ";48,512;27,310;05,120;139,8;1520;35,2;Auto;12,40;inactive;\n";
        writeFile(logPath(dir, day(4)), french);
        // 5: created by the tool and cut by a power cut before its header.
        writeFile(logPath(dir, day(5)), QByteArray());
        // 6: torn by a power cut in its last line.
        writeFile(logPath(dir, day(6)), kHeader + seconds(QTime(12, 0), 5, "200.0") + "12:00:05;48.5");
        // 7: the converter silent all day long.
        writeFile(logPath(dir, day(7)), kHeader + seconds(QTime(6, 0), 100, "-01.0"));
        // 8: not a log at all.
        writeFile(logPath(dir, day(8)), QByteArray("\x00\x01\x02garbage\n", 11));
        // Beside them: another adapter's log and the neighbouring months' logs.
        writeFile(logPath(dir, day(1), QStringLiteral("FT9ZZZZZ")), kHeader + seconds(QTime(10, 0), 60, "9999.0"));
        writeFile(logPath(dir, QDate(2026, 2, 28)), kHeader + seconds(QTime(10, 0), 60, "9999.0"));
        writeFile(logPath(dir, QDate(2026, 4, 1)), kHeader + seconds(QTime(10, 0), 60, "500.0"));

        const std::atomic<bool> never{false};
        const ProductionMonth month = ProductionReader::read(dir.path(), kAdapter, day(14), day(14), never);
        QCOMPARE(month.month, day(1));
        QCOMPARE(month.logs, 8);
        QCOMPARE(month.skippedLines, 3); // the damaged line, the line cut short, the torn end
        QCOMPARE(month.refused.size(), 1);
        QVERIFY2(month.refused.first().contains(QStringLiteral("binary")), qPrintable(month.refused.first()));

        struct Expected {
            int day;
            double joules;
            int seconds;
        };
        const Expected known[] = {
            {1, 3600 * 100.0, 3600},
            {2, 600 * 360.0 + 598 * 720.0, 1198},
            {3, 600 * 600.0 + 300 * 1200.0 + 300 * 600.0, 1200},
            {4, 1800 * 139.8, 1800},
            {6, 5 * 200.0, 5},
        };
        double monthJoules = 0;
        for (const Expected& e : known) {
            const std::optional<DayEnergy> energy = month.tally.day(day(e.day));
            QVERIFY2(energy, qPrintable(QStringLiteral("day %1").arg(e.day)));
            QCOMPARE(energy->knownSeconds, e.seconds);
            QVERIFY2(std::fabs(energy->joules - e.joules) < 0.5,
                     qPrintable(QStringLiteral("day %1: %2 J").arg(e.day).arg(energy->joules)));
            monthJoules += e.joules;
        }
        QVERIFY(std::fabs(month.tally.day(day(1))->kWh() - 0.1) < 1e-9);
        // Not known, not 0: the empty file, the silent day, the binary file, the days without a log.
        for (int d : {5, 7, 8, 9, 31})
            QVERIFY2(!month.tally.day(day(d)), qPrintable(QStringLiteral("day %1").arg(d)));
        const std::optional<DayEnergy> total = month.tally.total(day(1), day(31));
        QVERIFY(total);
        QVERIFY(std::fabs(total->joules - monthJoules) < 1);
        QVERIFY(!month.tally.day(QDate(2026, 2, 28)));
        QVERIFY(!month.tally.day(QDate(2026, 4, 1)));

        // Today in the next month: its log is read too, and stays out of the month's total.
        const ProductionMonth withToday =
            ProductionReader::read(dir.path(), kAdapter, day(14), QDate(2026, 4, 1), never);
        QCOMPARE(withToday.tally.day(QDate(2026, 4, 1))->knownSeconds, 60);
        QVERIFY(std::fabs(withToday.tally.total(day(1), day(31))->joules - monthJoules) < 1);

        // An adapter without logs, or none at all: nothing read, nothing known.
        for (const QString& adapter : {QStringLiteral("NOSUCHAD"), QString()}) {
            const ProductionMonth none = ProductionReader::read(dir.path(), adapter, day(14), day(14), never);
            QCOMPARE(none.logs, 0);
            QVERIFY(!none.tally.total(day(1), day(31)));
        }
    }

    // The live seconds of the ring join today's log: a second in both counts once, a second the
    // log does not hold (the Log box unticked) counts, a second whose power was not known
    // does not hold its place against a later known reading of it.
    void liveSecondsJoinTheLogOnce() {
        const QDateTime start(QDate(2026, 3, 14), QTime(10, 0));
        EnergyTally tally;
        for (int s = 0; s < 600; ++s) // what the log held
            QVERIFY(tally.add(powerAt(start.addSecs(s), 100.0)));
        int counted = 0;
        for (int s = 300; s < 900; ++s) // the ring's last hour, overlapping the log
            counted += tally.add(powerAt(start.addSecs(s), 100.0)) ? 1 : 0;
        QCOMPARE(counted, 300);
        QVERIFY(!tally.add(powerAt(start.addSecs(900), std::nullopt)));
        QVERIFY(tally.add(powerAt(start.addSecs(900), 50.0)));
        QVERIFY(!tally.add(powerAt(start.addSecs(900), 50.0)));
        QVERIFY(tally.add(powerAt(start.addSecs(901), -20.0))); // drawing: known, nothing made
        const DayEnergy today = *tally.day(start.date());
        QCOMPARE(today.knownSeconds, 902);
        QCOMPARE(today.joules, 900 * 100.0 + 50.0);
        // Across midnight each second goes to its own day.
        QVERIFY(tally.add(powerAt(QDateTime(QDate(2026, 3, 14), QTime(23, 59, 59)), 3600.0)));
        QVERIFY(tally.add(powerAt(QDateTime(QDate(2026, 3, 15), QTime(0, 0)), 3600.0)));
        QCOMPARE(tally.day(QDate(2026, 3, 15))->kWh(), 0.001);
        QCOMPARE(tally.day(start.date())->knownSeconds, 903);
    }

    // Reading in the background: the month asked last is the one told; the one given up never is.
    void aNewMonthGivesUpTheOneUnderWay() {
        QTemporaryDir dir;
        for (int d = 1; d <= 3; ++d) {
            writeFile(logPath(dir, QDate(2026, 2, d)), kHeader + seconds(QTime(0, 0), 20000, "100.0"));
            writeFile(logPath(dir, QDate(2026, 3, d)), kHeader + seconds(QTime(0, 0), 10, "100.0"));
        }
        ProductionReader reader;
        QSignalSpy finished(&reader, &ProductionReader::finished);
        reader.start(dir.path(), kAdapter, QDate(2026, 2, 1), QDate(2026, 3, 14));
        QVERIFY(reader.isReading());
        reader.start(dir.path(), kAdapter, QDate(2026, 3, 1), QDate(2026, 3, 14));
        QVERIFY(finished.wait(10000));
        QVERIFY(!reader.isReading());
        QTest::qWait(50);
        QCOMPARE(finished.size(), 1);
        const auto month = finished.first().first().value<ProductionMonth>();
        QCOMPARE(month.month, QDate(2026, 3, 1));
        QCOMPARE(month.tally.total(QDate(2026, 3, 1), QDate(2026, 3, 31))->knownSeconds, 30);

        // Cancelled, it never tells.
        reader.start(dir.path(), kAdapter, QDate(2026, 2, 1), QDate(2026, 3, 14));
        reader.cancel();
        QVERIFY(!reader.isReading());
        QTest::qWait(100);
        QCOMPARE(finished.size(), 1);
    }

    // The month's daily totals as a CSV file: every day of the month, the energy empty where it
    // is not known; a file that cannot be written leaves nothing behind and says so.
    void dailyTotalsWrittenAsCsv() {
        QTemporaryDir dir;
        EnergyTally tally;
        const QDateTime start(QDate(2026, 2, 3), QTime(12, 0));
        for (int s = 0; s < 36; ++s)
            tally.add(powerAt(start.addSecs(s), 1000.0));
        tally.add(powerAt(QDateTime(QDate(2026, 2, 28), QTime(1, 0)), 0.0));
        tally.add(powerAt(QDateTime(QDate(2026, 3, 1), QTime(1, 0)), 5000.0)); // another month
        const QString path = dir.filePath(QStringLiteral("february.csv"));
        QVERIFY(writeDailyEnergyCsv(path, tally, QDate(2026, 2, 14)));
        const QList<QByteArray> lines = readAll(path).split('\n');
        QCOMPARE(lines.size(), 1 + 28 + 1); // the title, the days, the last line end
        QCOMPARE(lines[0], QByteArray("date;energy [kWh];measured [s]"));
        QCOMPARE(lines[1], QByteArray("2026-02-01;;0"));
        QCOMPARE(lines[3], QByteArray("2026-02-03;0.0100;36"));
        QCOMPARE(lines[28], QByteArray("2026-02-28;0.0000;1"));
        QCOMPARE(lines[29], QByteArray());

        // A folder that is not there, a path that is a folder: false, and no file left.
        QVERIFY(!writeDailyEnergyCsv(dir.filePath(QStringLiteral("gone/february.csv")), tally, QDate(2026, 2, 1)));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
        QVERIFY(!writeDailyEnergyCsv(dir.path(), tally, QDate(2026, 2, 1)));
        QVERIFY(QFileInfo(dir.path()).isDir());
    }
};

QTEST_GUILESS_MAIN(TestDailyEnergy)
#include "tst_dailyenergy.moc"

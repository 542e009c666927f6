#include "Files.h"
#include "TestPlatform.h"
#include "core/NumberMask.h"
#include "datalog/CsvLog.h"
#include "datalog/LogFolderSetting.h"
#include "trends/CsvLogParser.h"
#include "trends/CsvLogReader.h"
#include "trends/LogFileName.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

// The CSV log reader: a table of small files, then files written by the log itself in
// locales of every kind, the neighbouring days, and a large file read in the background.
namespace {

const QByteArray kTitles7 = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];\n";
const QByteArray kTitles10 = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; "
                             "Temp[0C];Mode HPU;Pression (bar);Correction pitch;\n";
const QByteArray kValues = ";48.512;27.310;05.120;139.8;1520;35.2;";
const QByteArray kCommaValues = ";48,512;27,310;05,120;139,8;1520;35,2;";
const QByteArray kHpu = "Auto;12.40;inactive;";
const QString kName = QStringLiteral("2026_03_14_LogOrvane_FT4ABCDE.csv");

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

double valueOf(const TrendPoint& p, TrendChannel c) {
    return p.known(c) ? double(p.value(c)) : kGap;
}

bool same(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::fabs(a - b) < 1e-4;
}

QString timeOf(const TrendPoint& p) {
    return QDateTime::fromMSecsSinceEpoch(p.time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

class TestCsvLogReader : public QObject {
    Q_OBJECT
private slots:
    void readsWhatTheLogHolds_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("refused"); // "", "binary" or "not a log"
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<QString>("firstTime");
        QTest::addColumn<double>("inputVoltage"); // of the first point
        QTest::addColumn<double>("pressure");     // of the first point
        QTest::addColumn<QString>("lastTime");

        const QString t1 = QStringLiteral("2026-03-14 14:03:27");
        const QString t2 = QStringLiteral("2026-03-14 14:03:28");
        QTest::newRow("point, 24-hour, with HPU")
            << kName << kTitles10 + "14:03:27" + kValues + kHpu + "\n14:03:28" + kValues + kHpu + "\n"
            << "" << 2 << 0 << t1 << 48.512 << 12.40 << t2;
        QTest::newRow("comma, 24-hour, without HPU")
            << kName << kTitles7 + "14:03:27" + kCommaValues + "\n14:03:28" + kCommaValues + "\n"
            << "" << 2 << 0 << t1 << 48.512 << kGap << t2;
        QTest::newRow("12-hour, PM") << kName << kTitles7 + "2:03:27 PM" + kValues + "\n"
                                     << "" << 1 << 0 << t1 << 48.512 << kGap << t1;
        QTest::newRow("12-hour, 12 AM is midnight, dotted marker, comma")
            << kName << kTitles10 + "12:00:05 a.m." + kCommaValues + "Manuel;0,50; ;\n"
            << "" << 1 << 0 << "2026-03-14 00:00:05" << 48.512 << 0.5 << "2026-03-14 00:00:05";
        QTest::newRow("12-hour, marker first, own script")
            << kName << kTitles7 + "下午2:03:27" + kValues + "\n"
            << "" << 1 << 0 << t1 << 48.512 << kGap << t1;
        QTest::newRow("HPU columns under the seven titles")
            << kName << kTitles7 + "14:03:27" + kValues + kHpu + "\n14:03:28" + kValues + "\n"
            << "" << 2 << 0 << t1 << 48.512 << 12.40 << t2;
        QTest::newRow("-1 markers are gaps")
            << kName << kTitles10 + "14:03:27;-01.000;-01.000;-01.000;-01.0;-01;-01.0; ;-1.00; ;\n"
            << "" << 1 << 0 << t1 << kGap << kGap << t1;
        QTest::newRow("damaged lines skipped and counted")
            << kName
            << kTitles7 + "14:03:27" + kValues + "\n14:03:28;48.5\n" +
                   "14:03:29;abc;27.310;05.120;139.8;1520;35.2;\n" + "25:00:00" + kValues + "\n14:03:30" +
                   kValues + "\n"
            << "" << 2 << 3 << t1 << 48.512 << kGap << "2026-03-14 14:03:30";
        QTest::newRow("last line cut short without its line end")
            << kName << kTitles7 + "14:03:27" + kValues + "\n14:03:28;48.512;27.3"
            << "" << 1 << 1 << t1 << 48.512 << kGap << t1;
        QTest::newRow("Windows line ends")
            << kName << QByteArray(kTitles7 + "14:03:27" + kValues + "\n").replace("\n", "\r\n") << "" << 1
            << 0 << t1 << 48.512 << kGap << t1;
        QTest::newRow("logs joined end to end, across midnight")
            << kName
            << kTitles7 + "23:59:59" + kValues + "\n" + kTitles10 + "00:00:01" + kValues + kHpu + "\n"
            << "" << 2 << 0 << "2026-03-14 23:59:59" << 48.512 << kGap << "2026-03-15 00:00:01";
        QTest::newRow("empty file") << kName << QByteArray() << "" << 0 << 0 << "" << 0.0 << 0.0 << "";
        QTest::newRow("header only") << kName << kTitles10 << "" << 0 << 0 << "" << 0.0 << 0.0 << "";
        QTest::newRow("binary garbage") << kName << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                        << "binary" << 0 << 0 << "" << 0.0 << 0.0 << "";
        QTest::newRow("binary after a log's first line") << kName << QByteArray("LOG ORVANE\n\0\x01\x02", 14)
                                                         << "binary" << 0 << 0 << "" << 0.0 << 0.0 << "";
        QTest::newRow("invalid text encoding") << kName << QByteArray("LOG ORVANE\n\xff\xfe;1;\n") << "binary"
                                               << 0 << 0 << "" << 0.0 << 0.0 << "";
        QTest::newRow("another program's CSV") << kName << QByteArray("name;value;\nspeed;1520;\n")
                                               << "not a log" << 0 << 0 << "" << 0.0 << 0.0 << "";
        QTest::newRow("a name the tool does not write takes the file's date")
            << QStringLiteral("copy.csv") << kTitles7 + "14:03:27" + kValues + "\n"
            << "" << 1 << 0 << QDate::currentDate().toString(Qt::ISODate) + " 14:03:27" << 48.512 << kGap
            << QDate::currentDate().toString(Qt::ISODate) + " 14:03:27";
    }
    void readsWhatTheLogHolds() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, refused);
        QFETCH(int, points);
        QFETCH(int, skipped);
        QFETCH(QString, firstTime);
        QFETCH(double, inputVoltage);
        QFETCH(double, pressure);
        QFETCH(QString, lastTime);

        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        writeFile(path, content);
        const LogReadResult result = CsvLogReader::readFile(path);

        if (refused == QLatin1String("binary"))
            QCOMPARE(result.error, CsvLogReader::binaryMessage(path));
        else if (refused == QLatin1String("not a log"))
            QCOMPARE(result.error, CsvLogReader::notLogMessage(path));
        else
            QCOMPARE(result.error, QString());
        QCOMPARE(result.points.size(), points);
        QCOMPARE(result.skippedLines, skipped);
        if (points == 0)
            return;
        QCOMPARE(timeOf(result.points.first()), firstTime);
        QCOMPARE(timeOf(result.points.last()), lastTime);
        const TrendPoint& first = result.points.first();
        QVERIFY2(same(valueOf(first, TrendChannel::InputVoltage), inputVoltage),
                 qPrintable(QString::number(valueOf(first, TrendChannel::InputVoltage))));
        QVERIFY(same(valueOf(first, TrendChannel::Pressure), pressure));
        if (!std::isnan(inputVoltage)) { // the other columns land in their channels
            QVERIFY(same(valueOf(first, TrendChannel::OutputVoltage), 27.31));
            QVERIFY(same(valueOf(first, TrendChannel::OutputCurrent), 5.12));
            QVERIFY(same(valueOf(first, TrendChannel::OutputPower), 139.8));
            QVERIFY(same(valueOf(first, TrendChannel::Speed), 1520));
            QVERIFY(same(valueOf(first, TrendChannel::Temperature), 35.2));
        }
    }

    void unreadableFileIsTold() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kName);
        const LogReadResult result = CsvLogReader::readFile(path);
        QCOMPARE(result.error, CsvLogReader::unreadableMessage(path));
    }

    // Files written by the log itself, in the formats of locales of every kind.
    void readsWhatTheLogWritesInAnyLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("English, US: 12-hour, point") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("French: 24-hour, comma") << QLocale(QLocale::French, QLocale::France);
        QTest::newRow("German: comma") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("Finnish: dotted time") << QLocale(QLocale::Finnish, QLocale::Finland);
        QTest::newRow("Chinese: marker before the time") << QLocale(QLocale::Chinese, QLocale::China);
        QTest::newRow("Korean") << QLocale(QLocale::Korean, QLocale::SouthKorea);
        QTest::newRow("Arabic: own digits and separator") << QLocale(QLocale::Arabic, QLocale::Egypt);
        QTest::newRow("Persian") << QLocale(QLocale::Persian, QLocale::Iran);
    }
    void readsWhatTheLogWritesInAnyLocale() {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        TestPlatform platform;
        platform.timeline.setWallClock(QDateTime(QDate(2026, 3, 14), QTime(13, 59, 58)));
        MonitorState state;
        const QString device = QStringLiteral("cu.usbserial-FT4ABCDE");
        LogFolderSetting setting(platform.resources, platform.userFolders);
        CsvLog log(state, platform.timeline, platform.notifier, setting);
        QDir().mkpath(platform.userFolders.documents());

        // 13:59:58 and :59 without the HPU, 14:00:00 with it, 14:00:01 with both silent.
        state.U_in = 48.512;
        state.U_out = 27.31;
        state.I_out = 5.12;
        state.P_out = 139.8;
        state.RPM1 = 1520;
        state.TempCV = 35.2;
        log.logTick(true, device);
        platform.timeline.advance(1000);
        log.logTick(true, device);
        platform.timeline.advance(1000);
        state.presenceHPU = true;
        state.ModeHPU = QStringLiteral("Auto");
        state.Pression = 1.5;
        state.Pitch = QStringLiteral("inactive");
        log.logTick(true, device);
        platform.timeline.advance(1000);
        state.U_in = state.U_out = state.I_out = state.P_out = state.TempCV = -1;
        state.RPM1 = -1;
        state.presenceHPU = false;
        log.logTick(true, device);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(platform.notifier.messages.size(), 0);

        const LogReadResult result =
            CsvLogReader::readFile(platform.userFolders.documents() + QLatin1Char('/') + kName);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.skippedLines, 0);
        QCOMPARE(result.points.size(), 4);
        QCOMPARE(timeOf(result.points[0]), QStringLiteral("2026-03-14 13:59:58"));
        QCOMPARE(timeOf(result.points[3]), QStringLiteral("2026-03-14 14:00:01"));
        QVERIFY(same(valueOf(result.points[1], TrendChannel::InputVoltage), 48.512));
        QVERIFY(same(valueOf(result.points[1], TrendChannel::Speed), 1520));
        QVERIFY(same(valueOf(result.points[1], TrendChannel::Pressure), kGap));
        QVERIFY(same(valueOf(result.points[2], TrendChannel::Pressure), 1.5));
        QVERIFY(same(valueOf(result.points[3], TrendChannel::InputVoltage), kGap));
        QVERIFY(same(valueOf(result.points[3], TrendChannel::Speed), kGap));
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Every locale Qt knows: the log's time and number texts read back as written.
    void everyLocaleReadsBack() {
        const QList<QLocale> all =
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        QStringList wrong;
        for (const QLocale& locale : all) {
            for (const QTime time : {QTime(13, 59, 58), QTime(0, 2, 3), QTime(12, 30, 0), QTime(23, 0, 9)}) {
                const QByteArray text = locale.toString(time, CsvLog::timeFormat(locale)).toUtf8();
                if (CsvLogParser::parseTimeOfDay(text) != time.msecsSinceStartOfDay())
                    wrong << locale.name() + QLatin1Char(' ') + QString::fromUtf8(text);
            }
            double value = 0;
            const QByteArray number = formatMask(-48.512, QStringLiteral("00.000"), locale).toUtf8();
            if (!CsvLogParser::parseNumber(number, value) || !same(value, -48.512))
                wrong << locale.name() + QLatin1Char(' ') + QString::fromUtf8(number);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
    }

    void neighbouringDaysOfTheSameAdapter() {
        QTemporaryDir dir;
        for (const char* name : {"2026_03_10_LogOrvane_FT4ABCDE.csv", "2026_03_14_LogOrvane_FT4ABCDE.csv",
                                 "2026_03_12_LogOrvane_OTHER123.csv", "2026_03_20_LogOrvane_FT4ABCDE.csv",
                                 "2026_03_13_notes.csv"})
            writeFile(dir.filePath(QLatin1String(name)), kTitles7);
        const QString current = dir.filePath(kName);
        QCOMPARE(neighbouringLog(current, -1),
                 dir.filePath(QStringLiteral("2026_03_10_LogOrvane_FT4ABCDE.csv")));
        QCOMPARE(neighbouringLog(current, +1),
                 dir.filePath(QStringLiteral("2026_03_20_LogOrvane_FT4ABCDE.csv")));
        QCOMPARE(neighbouringLog(dir.filePath(QStringLiteral("2026_03_20_LogOrvane_FT4ABCDE.csv")), +1),
                 QString());
        QCOMPARE(neighbouringLog(dir.filePath(QStringLiteral("copy.csv")), -1), QString());
    }

    // A large file in the background: the curves of what was read so far after the first
    // chunk, cut down to the charts' width in the worker, with a one-second spike and a silent
    // stretch still visible; progress to the end; all the points once, the same as a read in
    // one go; the skipped lines told once.
    void largeFileReadInTheBackground() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kName);
        QByteArray content = kTitles10;
        const int lines = 60000; // about 3 MB: several chunks
        const int spike = 40000;
        const int silentFrom = 50000, silentTo = 50020; // the converter silent for 20 s
        for (int i = 0; i < lines; ++i) {
            const QTime t = QTime(0, 0).addSecs(i);
            QByteArray values = kValues;
            if (i == spike)
                values = ";99.900;27.310;05.120;139.8;1520;35.2;";
            if (i >= silentFrom && i < silentTo)
                values = ";-1;-1;-1;-1;-1;-1;";
            content += t.toString(QStringLiteral("HH:mm:ss")).toLatin1() + values + kHpu + "\n";
            if (i == 30000)
                content += "damaged\n";
        }
        writeFile(path, content);

        CsvLogReader reader;
        QSignalSpy curves(&reader, &CsvLogReader::curvesRead);
        QSignalSpy points(&reader, &CsvLogReader::pointsRead);
        QSignalSpy progress(&reader, &CsvLogReader::progress);
        QSignalSpy finished(&reader, &CsvLogReader::finished);
        const int budget = 800;
        reader.start(path, budget);
        QVERIFY(reader.isReading());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QVERIFY(!reader.isReading());
        QCOMPARE(finished.first().at(0).toString(), QString());
        QCOMPARE(finished.first().at(1).toInt(), 1);
        QCOMPARE(points.count(), 1);
        QCOMPARE(points.first().first().value<QVector<TrendPoint>>().size(), lines);
        QCOMPARE(progress.last().at(0).toLongLong(), qint64(content.size()));
        QCOMPARE(progress.last().at(1).toLongLong(), qint64(content.size()));
        QCOMPARE(CsvLogReader::readFile(path).points.size(), lines);

        // The first curves cover the first chunk only; the last the whole file.
        QVERIFY(curves.count() >= 2);
        const qint64 day = QDateTime(QDate(2026, 3, 14), QTime(0, 0)).toMSecsSinceEpoch();
        const TrendCurves first = curves.first().first().value<TrendCurves>();
        const TrendCurves last = curves.last().first().value<TrendCurves>();
        QCOMPARE(first.from, day);
        QVERIFY(first.to < day + qint64(lines - 1) * 1000);
        QCOMPARE(last.from, day);
        QCOMPARE(last.to, day + qint64(lines - 1) * 1000);
        for (int c = 0; c < kTrendChannelCount; ++c) {
            int drawn = 0;
            for (const TrendSegment& s : last.segments[c])
                drawn += s.size();
            QVERIFY2(drawn <= budget, qPrintable(QString::number(drawn)));
        }
        const QVector<TrendSegment>& voltage = last.of(TrendChannel::InputVoltage);
        double high = 0;
        for (const TrendSegment& s : voltage)
            for (const QPointF& p : s)
                high = std::max(high, p.y());
        QCOMPARE(float(high), 99.9f);
        QCOMPARE(voltage.size(), 2);
        QVERIFY(voltage[0].last().x() < day + silentFrom * 1000.0);
        QVERIFY(voltage[1].first().x() >= day + silentTo * 1000.0);
        QCOMPARE(last.of(TrendChannel::Pressure).size(), 1); // the HPU spoke throughout
    }

    void refusedInTheBackgroundWithItsMessage() {
        QTemporaryDir dir;
        const QString path = dir.filePath(kName);
        writeFile(path, QByteArray(2 << 20, '\0'));
        CsvLogReader reader;
        QSignalSpy curves(&reader, &CsvLogReader::curvesRead);
        QSignalSpy points(&reader, &CsvLogReader::pointsRead);
        QSignalSpy finished(&reader, &CsvLogReader::finished);
        reader.start(path);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QCOMPARE(finished.first().at(0).toString(), CsvLogReader::binaryMessage(path));
        QCOMPARE(curves.count(), 0);
        QCOMPARE(points.count(), 0);
    }

    void aNewReadDropsTheOldOne() {
        QTemporaryDir dir;
        const QString first = dir.filePath(kName);
        const QString second = dir.filePath(QStringLiteral("2026_03_15_LogOrvane_FT4ABCDE.csv"));
        QByteArray big = kTitles7;
        for (int i = 0; i < 40000; ++i)
            big += "14:03:27" + kValues + "\n";
        writeFile(first, big);
        writeFile(second, kTitles7 + "10:00:00" + kValues + "\n");
        CsvLogReader reader;
        QSignalSpy chunks(&reader, &CsvLogReader::pointsRead);
        QSignalSpy finished(&reader, &CsvLogReader::finished);
        reader.start(first);
        reader.start(second);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QCoreApplication::processEvents(); // nothing of the first read is still under way
        QCOMPARE(finished.count(), 1);
        QCOMPARE(chunks.count(), 1);
        QCOMPARE(chunks.first().first().value<QVector<TrendPoint>>().first().time,
                 QDateTime(QDate(2026, 3, 15), QTime(10, 0)).toMSecsSinceEpoch());
    }
};

QTEST_GUILESS_MAIN(TestCsvLogReader)
#include "tst_csvlogreader.moc"

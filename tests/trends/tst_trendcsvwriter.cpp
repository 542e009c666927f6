#include "Files.h"
#include "trends/TrendCsvWriter.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The exported span of the trends window, written to real files: its lines, the write in
// the background, a folder that cannot be written, and a cancelled write.
namespace {

const QDateTime kStart(QDate(2026, 3, 14), QTime(10, 0, 0));

QVector<TrendPoint> seconds(int count) {
    QVector<TrendPoint> points;
    points.reserve(count);
    for (int k = 0; k < count; ++k) {
        TrendPoint p;
        p.time = kStart.toMSecsSinceEpoch() + k * qint64(1000);
        p.set(TrendChannel::InputVoltage, 48.5);
        p.set(TrendChannel::Speed, k % 7 == 3 ? std::nullopt : std::optional<double>(1500 + k % 100));
        points.append(p);
    }
    return points;
}

} // namespace

class TestTrendCsvWriter : public QObject {
    Q_OBJECT
private slots:
    // Point decimals whatever the user's language; an unknown value leaves its field empty.
    void writesTheSpanInTheBackground() {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("span.csv"));
        TrendCsvWriter writer;
        QSignalSpy finished(&writer, &TrendCsvWriter::finished);
        writer.start(path, seconds(5));
        QVERIFY(writer.isWriting()); // the end is told through the event loop, never before start() returns
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first(), (QVariantList{path, true}));
        QVERIFY(!writer.isWriting());
        const QList<QByteArray> lines = readAll(path).split('\n');
        QCOMPARE(lines.size(), 1 + 5 + 1);
        QCOMPARE(lines[0], QByteArray("time;Input voltage [V];Output voltage [V];Output current [A];Output power "
                                      "[W];Converter temperature [°C];Speed [rpm];Oil pressure [bar]"));
        QCOMPARE(lines[1], QByteArray("2026-03-14 10:00:00;48.5;;;;;1500;"));
        QCOMPARE(lines[4], QByteArray("2026-03-14 10:00:03;48.5;;;;;;")); // the speed not known
        QCOMPARE(lines[6], QByteArray());
        QLocale::setDefault(QLocale::c());
    }

    // A span of several megabytes goes out in pieces; none is lost or doubled at their seams.
    void aLongSpanIsWrittenWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.csv"));
        const int count = 100'000; // about 3.5 MB
        const std::atomic<bool> never{false};
        QVERIFY(TrendCsvWriter::write(path, seconds(count), never));
        const QList<QByteArray> lines = readAll(path).split('\n');
        QCOMPARE(lines.size(), 1 + count + 1);
        for (int k : {0, 29'999, 30'000, 50'000, count - 1})
            QVERIFY2(lines[1 + k].startsWith(kStart.addSecs(k).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                                  .toLatin1()),
                     lines[1 + k].constData());
    }

    void aFolderThatCannotBeWrittenIsReported() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/span.csv"));
        TrendCsvWriter writer;
        QSignalSpy finished(&writer, &TrendCsvWriter::finished);
        writer.start(path, seconds(3));
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first(), (QVariantList{path, false}));
        QVERIFY(!QFileInfo::exists(path));
    }

    // A cancelled write (the window closed) leaves an earlier export as it was, and no
    // half-written file beside it.
    void aCancelledWriteLeavesTheFileAsItWas() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("span.csv"));
        writeFile(path, "the earlier export\n");
        const std::atomic<bool> cancelled{true};
        QVERIFY(!TrendCsvWriter::write(path, seconds(100'000), cancelled));
        QCOMPARE(readAll(path), QByteArray("the earlier export\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("span.csv")});

        // The same through the writer's own end, with a write under way.
        {
            TrendCsvWriter writer;
            writer.start(path, seconds(300'000));
        }
        const QByteArray after = readAll(path);
        QVERIFY2(after == "the earlier export\n" || after.count('\n') == 300'001, "a partial export");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("span.csv")});
    }
};

QTEST_GUILESS_MAIN(TestTrendCsvWriter)
#include "tst_trendcsvwriter.moc"

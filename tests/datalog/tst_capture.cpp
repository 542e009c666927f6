// The capture file: what the writer puts in it, what the reader takes back, the size limit,
// and every kind of damaged capture refused whole at open with its line or its reason.
#include "Files.h"
#include "Hex.h"
#include "ManualTimeline.h"
#include "datalog/CaptureReader.h"
#include "datalog/CaptureWriter.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QVector<Capture::Chunk> readChunks(const QString& path, QString* error = nullptr) {
    CaptureReader reader;
    QVector<Capture::Chunk> chunks;
    if (!reader.open(path)) {
        if (error)
            *error = reader.errorString();
        return chunks;
    }
    Capture::Chunk chunk;
    while (reader.next(chunk))
        chunks.append(chunk);
    return chunks;
}

} // namespace

class TestCapture : public QObject {
    Q_OBJECT
private slots:
    void writesTheDocumentedLinesOnceASecond();
    void readsBackWhatWasWritten();
    void acceptsCommentsBlankLinesAndUnspacedHex();
    void damagedCaptureIsRefused_data();
    void damagedCaptureIsRefused();
    void stopsAtItsSizeLimitWithWholeLines();
    void stopAfterStartReplacesAnOldFile();
    void keptCapturesAreNeverEmptied();

private:
    QTemporaryDir dir_;
};

void TestCapture::writesTheDocumentedLinesOnceASecond() {
    ManualTimeline timeline;
    timeline.advance(5000); // the capture counts from its own start, not the program's
    CaptureWriter writer(timeline, timeline);
    const QString path = dir_.filePath(QStringLiteral("lines.txt"));
    QVERIFY(writer.start(path));
    timeline.advance(20);
    writer.received(hexBytes("00 01 10 10"));
    timeline.advance(150);
    writer.written(hexBytes("12 11 4C 02 00 71"));
    QCOMPARE(readAll(path), QByteArray("# velmora capture 1\n")); // not yet a second
    timeline.advance(830);
    QCOMPARE(readAll(path), QByteArray("# velmora capture 1\n"
                                       "20000 rx 00 01 10 10\n"
                                       "170000 tx 12 11 4C 02 00 71\n"));
    writer.received(hexBytes("FF"));
    QSignalSpy stopped(&writer, &CaptureWriter::stopped);
    writer.stop();
    QVERIFY(readAll(path).endsWith("1000000 rx FF\n"));
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(stopped.at(0).at(0).value<CaptureWriter::StopReason>(), CaptureWriter::StopReason::Requested);
}

void TestCapture::readsBackWhatWasWritten() {
    ManualTimeline timeline;
    CaptureWriter writer(timeline, timeline);
    const QString path = dir_.filePath(QStringLiteral("roundtrip.txt"));
    QVERIFY(writer.start(path));
    QByteArray every;
    for (int b = 0; b < 256; ++b)
        every.append(char(b));
    writer.received(every);
    timeline.advance(1);
    writer.written(hexBytes("00 12 03 50 00 00 65"));
    writer.received(hexBytes("00"));
    writer.stop();

    QString error;
    const QVector<Capture::Chunk> chunks = readChunks(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(chunks.size(), 3);
    QCOMPARE(chunks[0].us, 0);
    QCOMPARE(chunks[0].bytes, every);
    QCOMPARE(chunks[1].direction, Capture::Direction::Written);
    QCOMPARE(chunks[1].us, 1000);
    QCOMPARE(chunks[1].bytes, hexBytes("00 12 03 50 00 00 65"));
    QCOMPARE(chunks[2].direction, Capture::Direction::Received);
    QCOMPARE(chunks[2].us, 1000); // the same instant is no step back
}

void TestCapture::acceptsCommentsBlankLinesAndUnspacedHex() {
    const QString path = dir_.filePath(QStringLiteral("other-tool.txt"));
    writeFile(path,
              "# velmora capture 1\r\n# written by hand\r\n\r\n10 rx 0001 1010\r\n 20  tx  ab  \r\n30 rx 7f");
    QString error;
    const QVector<Capture::Chunk> chunks = readChunks(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(chunks.size(), 3);
    QCOMPARE(chunks[0].bytes, hexBytes("00 01 10 10"));
    QCOMPARE(chunks[1].bytes, hexBytes("AB"));
    QCOMPARE(chunks[2].bytes, hexBytes("7F")); // a last line without its line feed
}

void TestCapture::damagedCaptureIsRefused_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("sparseSize"); // a file of this size with nothing written
    QTest::addColumn<QString>("reason");

    const QByteArray head = "# velmora capture 1\n";
    QTest::newRow("0-byte file") << QByteArray() << qint64(0) << "the file is empty";
    QTest::newRow("2 GiB sparse file")
        << QByteArray() << (qint64(2) << 30) << "the file is too large (2048 MiB, at most 1024 MiB)";
    QTest::newRow("bad header") << QByteArray("velmora capture\n0 rx 00\n") << qint64(0)
                                << "line 1: not a capture (the first line must be \"# velmora capture 1\")";
    QTest::newRow("later version") << QByteArray("# velmora capture 2\n0 rx 00\n") << qint64(0)
                                   << "line 1: capture version 2 is not supported (version 1 is)";
    QTest::newRow("odd hex") << head + "0 rx 00 01\n5 rx 00 1 10\n"
                             << qint64(0) << "line 3: odd number of hexadecimal digits in \"1\"";
    QTest::newRow("not hex") << head + "0 rx 0G\n" << qint64(0) << "line 2: \"0G\" is not hexadecimal";
    QTest::newRow("time going backwards") << head + "100 rx 00\n200 tx 01\n150 rx 02\n"
                                          << qint64(0) << "line 4: time goes backwards (150 us after 200 us)";
    QTest::newRow("negative time") << head + "-5 rx 00\n"
                                   << qint64(0)
                                   << "line 2: time \"-5\" is not a whole number of microseconds";
    QTest::newRow("unknown direction") << head + "0 rx 00\n10 up 00\n"
                                       << qint64(0) << "line 3: unknown direction \"up\" (rx or tx expected)";
    QTest::newRow("no bytes") << head + "0 rx\n" << qint64(0) << "line 2: no bytes";
    QTest::newRow("binary garbage") << head + "0 rx 00\n" + QByteArray("\x00\x9c\xff\x01\x02", 5) + "\n"
                                    << qint64(0) << "line 3: not text (binary bytes in the line)";
    QTest::newRow("binary garbage from the start") << QByteArray("\x7f"
                                                                 "ELF\x02\x01\x01\x00",
                                                                 8)
                                                   << qint64(0)
                                                   << "line 1: not a capture (the first line must be "
                                                      "\"# velmora capture 1\")";
    QTest::newRow("endless line") << head + QByteArray(200000, 'A') << qint64(0)
                                  << "line 2: longer than 65536 characters";
}

void TestCapture::damagedCaptureIsRefused() {
    QFETCH(QByteArray, content);
    QFETCH(qint64, sparseSize);
    QFETCH(QString, reason);
    const QString path = dir_.filePath(QStringLiteral("damaged.txt"));
    QFile::remove(path);
    writeFile(path, content);
    if (sparseSize > 0) {
        QFile sparse(path);
        QVERIFY(sparse.open(QIODevice::ReadWrite));
        QVERIFY(sparse.resize(sparseSize)); // no block written: refused from the size alone
    }
    CaptureReader reader;
    QVERIFY(!reader.open(path));
    QCOMPARE(reader.errorString(), reason);
    Capture::Chunk chunk;
    QVERIFY(!reader.next(chunk)); // nothing of a refused capture is played
    QFile::remove(path);
}

void TestCapture::stopsAtItsSizeLimitWithWholeLines() {
    ManualTimeline timeline;
    CaptureWriter writer(timeline, timeline);
    QSignalSpy stopped(&writer, &CaptureWriter::stopped);
    const QString path = dir_.filePath(QStringLiteral("limited.txt"));
    const qint64 limit = 1000;
    QVERIFY(writer.start(path, limit));
    const QByteArray frame = hexBytes("00 01 10 10 01 DB 6A 40 0D B3 00 00 01 5E 03 E8 00 00 04 89");
    for (int i = 0; i < 200 && writer.isRecording(); ++i) {
        writer.received(frame);
        timeline.advance(200);
    }
    QVERIFY(!writer.isRecording());
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(stopped.at(0).at(0).value<CaptureWriter::StopReason>(), CaptureWriter::StopReason::LimitReached);
    QCOMPARE(stopped.at(0).at(1).toString(),
             QStringLiteral("The bus capture reached its size limit of 1000 bytes and stopped: limited.txt"));

    const QByteArray content = readAll(path);
    QVERIFY(content.size() <= limit);
    QVERIFY(content.size() > limit - 80); // filled up to the last whole line
    QVERIFY(content.endsWith('\n'));
    QString error;
    const QVector<Capture::Chunk> chunks = readChunks(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(chunks.size(), content.count('\n') - 1);
    for (const Capture::Chunk& chunk : chunks)
        QCOMPARE(chunk.bytes, frame);
    writer.received(frame); // after the stop: nothing more, no second report
    QCOMPARE(readAll(path), content);
    QCOMPARE(stopped.count(), 1);
}

void TestCapture::stopAfterStartReplacesAnOldFile() {
    ManualTimeline timeline;
    const QString path = dir_.filePath(QStringLiteral("again.txt"));
    writeFile(path, "# velmora capture 1\n0 rx 00 01 02 03 04 05 06 07 08 09\n");
    CaptureWriter writer(timeline, timeline);
    QVERIFY(writer.start(path));
    writer.stop();
    QCOMPARE(readAll(path), QByteArray("# velmora capture 1\n"));

    QVERIFY(!writer.start(dir_.filePath(QStringLiteral("no/such/folder/c.txt"))));
    QVERIFY(!writer.errorString().isEmpty());
    QVERIFY(!writer.isRecording());
    QVERIFY(!writer.start(path, 10)); // no room even for the first line
}

// A capture named on the command line is kept across restarts: each start that finds it (the
// crash's capture, an empty one, one torn mid-line) records beside it, numbered; a folder
// that cannot take a file still fails.
void TestCapture::keptCapturesAreNeverEmptied() {
    ManualTimeline timeline;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bus.txt"));
    const QByteArray crash = "# velmora capture 1\n0 rx 00 01 10 10\n20 rx 00 0";
    writeFile(path, crash);
    const auto keep = CaptureWriter::Existing::KeepAndNumber;
    CaptureWriter writer(timeline, timeline);

    QVERIFY(writer.start(path, Capture::kMaxFileBytes, keep));
    QCOMPARE(writer.path(), dir.filePath(QStringLiteral("bus-2.txt")));
    writer.received(hexBytes("AA"));
    writer.stop();
    QVERIFY(writer.start(path, Capture::kMaxFileBytes, keep));
    QCOMPARE(writer.path(), dir.filePath(QStringLiteral("bus-3.txt")));
    writer.stop();

    QCOMPARE(readAll(path), crash);
    QCOMPARE(readAll(dir.filePath(QStringLiteral("bus-2.txt"))), QByteArray("# velmora capture 1\n0 rx AA\n"));
    QCOMPARE(readAll(dir.filePath(QStringLiteral("bus-3.txt"))), QByteArray("# velmora capture 1\n"));

    // A free name is taken as it is.
    const QString fresh = dir.filePath(QStringLiteral("fresh.txt"));
    QVERIFY(writer.start(fresh, Capture::kMaxFileBytes, keep));
    QCOMPARE(writer.path(), fresh);
    writer.stop();

    QVERIFY(!writer.start(dir.filePath(QStringLiteral("no/such/folder/c.txt")), Capture::kMaxFileBytes, keep));
    QVERIFY(!writer.errorString().isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("no/such/folder/c-2.txt"))));
}

QTEST_GUILESS_MAIN(TestCapture)
#include "tst_capture.moc"

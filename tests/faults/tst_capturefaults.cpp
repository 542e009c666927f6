// A bus capture beside the monitoring: it records exactly what the port delivered and what
// the tool wrote, and when it stops on its own (size limit, folder removed, disk full) the
// technician is told once while decoding and the CSV log go on untouched.
#include "Files.h"
#include "Hex.h"
#include "TestPlatform.h"
#include "datalog/CaptureReader.h"
#include "link/Frame.h"
#include "monitor/BusRecorder.h"

#ifdef Q_OS_UNIX
#include "FileSizeLimit.h"
#endif

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {

// 48.5 V in, 27.310 V and 5.120 A out, 35.2 degrees, 1519 rpm.
const QByteArray kConverterFrame =
    Frame::withChecksum(hexBytes("00 01 10 10 01 E5 6A AE 14 00 00 00 01 60 03 F5 00 00"));

// The monitor connected and logging, with a capture recorded into its own folder.
struct RecordingSite {
    RecordingSite() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        logFolder = doubles.dir.path() + QStringLiteral("/Logs");
        captureFolder = doubles.dir.path() + QStringLiteral("/Captures");
        QDir().mkpath(logFolder);
        QDir().mkpath(captureFolder);
        writeFile(doubles.resources.filePath(QStringLiteral("Log_Folder.txt")),
                  QDir::toNativeSeparators(logFolder).toUtf8() + '\n');
        doubles.devices.setNames({QStringLiteral("cu.usbserial-FT4ABCDE")});
        doubles.timeline.advance(500);
        monitor.ConnectButton_Action();
    }
    ~RecordingSite() { QLocale::setDefault(QLocale::system()); }

    // Seconds of a busy converter: ten frames a second.
    void run(int seconds) {
        for (int i = 0; i < seconds * 10; ++i) {
            doubles.port.feed(kConverterFrame);
            doubles.timeline.advance(100);
        }
    }
    QString capturePath() const { return captureFolder + QStringLiteral("/bus.txt"); }
    QByteArray csvLog() const {
        return readAll(logFolder + QStringLiteral("/2026_03_14_LogOrvane_FT4ABCDE.csv"));
    }
    bool stillDecodes() {
        monitor.stopDataConverter(); // nothing known until the next frame is decoded
        doubles.port.feed(kConverterFrame);
        doubles.timeline.advance(20);
        return monitor.state().U_in == 48.5 && monitor.controls().LabelValue_Uin.visible;
    }
    int capturedChunks() const {
        CaptureReader reader;
        return reader.open(capturePath()) ? int(reader.chunkCount()) : -1;
    }

    TestPlatform doubles;
    Monitor monitor{doubles.platform()};
    BusRecorder recorder{monitor, doubles.notifier};
    QString logFolder;
    QString captureFolder;
};

} // namespace

class TestCaptureFaults : public QObject {
    Q_OBJECT
private slots:
    // Bytes arriving in pieces are recorded piece by piece, as the port delivered them; the
    // pump command written in the gap after a converter frame is recorded as written.
    void recordsChunksAsDeliveredAndCommandsAsWritten() {
        RecordingSite site;
        QVERIFY(site.recorder.start(site.capturePath()));
        site.doubles.port.feed(kConverterFrame.left(7));
        site.doubles.timeline.advance(5);
        site.doubles.port.feed(kConverterFrame.mid(7));
        site.monitor.PompeButton_Action();
        site.doubles.timeline.advance(500);
        QCOMPARE(site.doubles.port.writes.size(), 1);
        site.recorder.stop();

        CaptureReader reader;
        QVERIFY2(reader.open(site.capturePath()), qPrintable(reader.errorString()));
        QVector<Capture::Chunk> chunks;
        Capture::Chunk chunk;
        while (reader.next(chunk))
            chunks.append(chunk);
        QCOMPARE(chunks.size(), 3);
        QCOMPARE(chunks[0].bytes, kConverterFrame.left(7));
        QCOMPARE(chunks[1].bytes, kConverterFrame.mid(7));
        QCOMPARE(chunks[1].us - chunks[0].us, 5000);
        QCOMPARE(chunks[2].direction, Capture::Direction::Written);
        QCOMPARE(chunks[2].bytes, site.doubles.port.writes.first());
        QVERIFY(site.doubles.notifier.messages.isEmpty());
    }

    void sizeLimitReached_toldOnceMonitoringGoesOn() {
        RecordingSite site;
        QSignalSpy stopped(&site.recorder, &BusRecorder::stopped);
        QSignalSpy events(&site.monitor, &Monitor::eventOccurred);
        QVERIFY(site.recorder.start(site.capturePath(), 2000));
        site.run(5);
        // The stop is an event of the journal, with the message the technician saw.
        int captureEvents = 0;
        for (const QList<QVariant>& event : events) {
            const auto e = event.at(0).value<MonitorEvent>();
            if (e.kind == MonitorEvent::Kind::CaptureStopped) {
                ++captureEvents;
                QCOMPARE(e.detail, CaptureWriter::limitMessage(site.capturePath(), 2000));
            }
        }
        QCOMPARE(captureEvents, 1);
        QCOMPARE(site.doubles.notifier.messages,
                 QStringList{CaptureWriter::limitMessage(site.capturePath(), 2000)});
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(stopped.at(0).at(0).value<CaptureWriter::StopReason>(),
                 CaptureWriter::StopReason::LimitReached);
        QVERIFY(!site.recorder.isRecording());
        QVERIFY(QFileInfo(site.capturePath()).size() <= 2000);
        QVERIFY(site.capturedChunks() > 20);
        QCOMPARE(site.csvLog().count('\n'), 2 + 5);
        QVERIFY(site.stillDecodes());
    }

    // The capture's folder is removed mid-capture (a USB stick pulled out): the capture
    // stops with a message at its next write; the CSV log in its own folder goes on.
    void captureFolderRemoved_toldOnceLogGoesOn() {
        RecordingSite site;
        QVERIFY(site.recorder.start(site.capturePath()));
        site.run(2);
        QVERIFY(QDir(site.captureFolder).removeRecursively());
        site.run(3);
        QCOMPARE(site.doubles.notifier.messages.size(), 1);
        QVERIFY2(
            site.doubles.notifier.messages.first().startsWith(
                QStringLiteral("The bus capture could not be written and stopped: ") + site.capturePath()),
            qPrintable(site.doubles.notifier.messages.first()));
        QVERIFY(!site.recorder.isRecording());
        QCOMPARE(site.csvLog().count('\n'), 2 + 5);
        QVERIFY(site.monitor.controls().CheckBoxLog_checked);
        QVERIFY(site.stillDecodes());
    }

    // The file system fills up under the capture: it stops with a message, the lines already
    // written stay whole and readable, and the CSV log goes on while it has room.
    void fileSystemFull_toldOnceWholeLinesKept() {
#ifdef Q_OS_UNIX
        RecordingSite site;
        QVERIFY(site.recorder.start(site.capturePath()));
        site.run(3);
        const qint64 recorded = QFileInfo(site.capturePath()).size();
        const int chunksBefore = site.capturedChunks();
        QVERIFY(chunksBefore >= 29);
        {
            FileSizeLimit full(recorded + 100); // room for a line and a half
            if (!full.isActive())
                QSKIP("the system refuses a file-size limit");
            site.run(2);
        }
        QCOMPARE(site.doubles.notifier.messages.size(), 1);
        QVERIFY(site.doubles.notifier.messages.first().startsWith(
            QStringLiteral("The bus capture could not be written and stopped: ")));
        QVERIFY(!site.recorder.isRecording());
        QCOMPARE(QFileInfo(site.capturePath()).size(), recorded); // cut back to its last whole line
        QCOMPARE(site.capturedChunks(), chunksBefore);
        QCOMPARE(site.csvLog().count('\n'), 2 + 5);
        QVERIFY(site.stillDecodes());
#else
        QSKIP("file-size limits are a POSIX facility");
#endif
    }

    void unwritablePlace_toldAtStart() {
        RecordingSite site;
        const QString blocked = site.captureFolder + QStringLiteral("/not-a-folder");
        writeFile(blocked, "x");
        QVERIFY(!site.recorder.start(blocked + QStringLiteral("/bus.txt")));
        QCOMPARE(site.doubles.notifier.messages.size(), 1);
        QVERIFY(site.doubles.notifier.messages.first().startsWith(
            QStringLiteral("The bus capture cannot be written to ") + blocked));
        QVERIFY(site.stillDecodes());
    }
};

QTEST_GUILESS_MAIN(TestCaptureFaults)
#include "tst_capturefaults.moc"

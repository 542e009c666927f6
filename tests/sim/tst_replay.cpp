// A capture played back as a device: the recorded timing divided by the speed, the tool's
// own commands never played, a damaged capture refused at connection with its reason, and
// the round trip from a live run of the demo installation to its replay at speed 10.
#include "Files.h"
#include "Hex.h"
#include "RecordedRun.h"
#include "link/Frame.h"
#include "sim/CapturePlayer.h"
#include "sim/ReplayDevice.h"

#include <QSignalSpy>
#include <QTest>

class TestReplay : public QObject {
    Q_OBJECT
private slots:
    void playsReceivedChunksAtTheirTimeDividedByTheSpeed() {
        const QString path = dir_.filePath(QStringLiteral("timing.txt"));
        // The capture began 30 s before the first bytes: the play starts with them.
        writeFile(path, "# velmora capture 1\n"
                        "30000000 rx 00 01\n"
                        "30100000 rx 10 10\n"
                        "30150000 tx 12 11 4C 02 00 71\n"
                        "30250000 rx AA\n"
                        "30250000 rx BB\n");
        ManualTimeline timeline;
        Sim::CapturePlayer player(timeline, timeline);
        QVERIFY2(player.open(path), qPrintable(player.errorString()));
        QVector<QPair<qint64, QByteArray>> played;
        connect(&player, &Sim::CapturePlayer::bytesPlayed, [&](const QByteArray& bytes) {
            played.append({timeline.elapsedMs(), bytes});
        });
        QSignalSpy finished(&player, &Sim::CapturePlayer::finished);
        timeline.advance(1000);
        player.start(2.0);
        timeline.advance(1000);
        const QVector<QPair<qint64, QByteArray>> expected{{1000, hexBytes("00 01")},
                                                          {1050, hexBytes("10 10")},
                                                          {1125, hexBytes("AA")},
                                                          {1125, hexBytes("BB")}};
        QCOMPARE(played, expected);
        QCOMPARE(finished.count(), 1);

        played.clear(); // a second connection plays it again from the start
        player.start(1.0);
        timeline.advance(1000);
        QCOMPARE(played.size(), 4);
        QCOMPARE(played[1].first - played[0].first, 100);
    }

    // Commands written during a replay go nowhere, and the raw stream traces them as sent.
    void commandsDuringAReplayAreTracedNotPlayed() {
        const QString path = dir_.filePath(QStringLiteral("commands.txt"));
        const QByteArray frame =
            Frame::withChecksum(hexBytes("00 01 10 10 01 E5 6A AE 14 00 00 00 01 60 03 F5 00 00"));
        QByteArray capture = "# velmora capture 1\n";
        for (int i = 0; i < 5; ++i)
            capture += Capture::formatLine({qint64(i) * 1000000, Capture::Direction::Received, frame});
        writeFile(path, capture);

        TestPlatform doubles;
        ReplayPlatform replay(doubles.platform(), path, 1.0);
        Monitor monitor(replay.platform());
        doubles.timeline.advance(500);
        QCOMPARE(monitor.controls().SerialPortsPopupMenu_rows.last(), QStringLiteral("Replay: commands.txt"));
        monitor.ConnectButton_Action();
        QVERIFY(monitor.isConnected());
        monitor.PompeButton_Action();
        doubles.timeline.advance(1500);
        QCOMPARE(monitor.state().U_in, 48.5);
        QVERIFY(monitor.trace().text().contains(QStringLiteral("j'emets une trame")));
        QVERIFY(doubles.port.writes.isEmpty()); // nothing reached a real port
    }

    // The capture was damaged after the tool started: connecting tells what is wrong and
    // where, and the tool stays disconnected and usable.
    void damagedCaptureRefusedAtConnection() {
        const QString path = dir_.filePath(QStringLiteral("damaged.txt"));
        writeFile(path, "# velmora capture 1\n0 rx 00 01\n10 rx 0 1\n");
        TestPlatform doubles;
        ReplayPlatform replay(doubles.platform(), path, 1.0);
        Monitor monitor(replay.platform());
        doubles.timeline.advance(500);
        monitor.ConnectButton_Action();
        QVERIFY(!monitor.isConnected());
        QCOMPARE(doubles.notifier.messages.first(),
                 ReplaySerialPort::damagedMessage(path, QStringLiteral("line 3: odd number of hexadecimal "
                                                                       "digits in \"0\"")));
        QCOMPARE(doubles.notifier.messages.last(),
                 QStringLiteral("The serial connection could not be opened."));
        doubles.timeline.advance(1000); // still running, still listing the replay
        QCOMPARE(monitor.controls().SerialPortsPopupMenu_rows.last(), QStringLiteral("Replay: damaged.txt"));
    }

    // Round trip: a live run of the demo installation recorded, then replayed at speed 10:
    // every line the replay logs is a line the live run's values made, in the same order, and
    // the live log's own lines are among them too.
    void replayAtSpeedTenLogsTheLiveValues() {
        const QString capture = dir_.filePath(QStringLiteral("live.txt"));
        const RecordedRun live = recordDemoRun(capture, dir_.filePath(QStringLiteral("live-logs")), 60);
        QVERIFY(live.csvLines.size() >= 59);
        QVERIFY(live.stateLines.size() > 300);
        QVERIFY(isOrderedSubsequence(live.csvLines, live.stateLines));

        TestPlatform doubles;
        const QString logs = dir_.filePath(QStringLiteral("replay-logs"));
        logInto(doubles, logs);
        ReplayPlatform replay(doubles.platform(), capture, 10.0);
        Monitor monitor(replay.platform());
        doubles.timeline.advance(500);
        monitor.ConnectButton_Action();
        QVERIFY(monitor.isConnected());
        doubles.timeline.advance(6500);
        const QStringList replayed = csvDataLines(logs);
        QVERIFY2(replayed.size() >= 6, qPrintable(replayed.join(QLatin1Char('\n'))));
        const int end = orderedMatchEnd(replayed, live.stateLines);
        QVERIFY2(end >= 0, qPrintable(replayed.join(QLatin1Char('\n'))));
        // 6 s at speed 10 cover the whole minute of the live run.
        QVERIFY2(end > live.stateLines.size() * 9 / 10, qPrintable(QString::number(end)));
        // The values move every frame: a replay that decoded nothing new would repeat one line.
        QCOMPARE(QSet<QString>(replayed.begin(), replayed.end()).size(), replayed.size());
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestReplay)
#include "tst_replay.moc"

#include "app/AlarmSoundPlayer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAlarmSoundPlayer : public QObject {
    Q_OBJECT

private slots:
    void missingSoundIsNotRetried() {
        QTemporaryDir dir;
        FixedResourceFolder folder(dir.path());
        AlarmSoundPlayer player(folder);
        player.play(100);
        QCOMPARE(player.status(), AlarmSoundPlayer::Status::Unavailable);
        QVERIFY(QFile::copy(QStringLiteral(VELMORA_RESOURCES_DIR "/alarm_hydro.wav"),
                            dir.filePath(QStringLiteral("alarm_hydro.wav"))));
        player.play(100); // a file that appears later is not looked for again
        QCOMPARE(player.status(), AlarmSoundPlayer::Status::Unavailable);
        QCOMPARE(player.loadAttempts(), 1);
    }

    void undecodableSoundIsNotRetried() {
        QTemporaryDir dir;
        QFile bad(dir.filePath(QStringLiteral("alarm_hydro.wav")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("RIFF, but not a sound at all");
        bad.close();
        FixedResourceFolder folder(dir.path());
        AlarmSoundPlayer player(folder);
        player.play(50);
        QTRY_COMPARE(player.status(), AlarmSoundPlayer::Status::Unavailable);
        player.play(50);
        QCOMPARE(player.loadAttempts(), 1);
    }

    void volumeIsClamped_data() {
        QTest::addColumn<int>("volume");
        QTest::addColumn<double>("linear");
        QTest::newRow("above 100") << 150 << 1.0;
        QTest::newRow("100") << 100 << 1.0;
        QTest::newRow("45") << 45 << 0.45;
        QTest::newRow("below 0") << -5 << 0.0;
    }

    void volumeIsClamped() {
        QFETCH(int, volume);
        QFETCH(double, linear);
        FixedResourceFolder folder(QStringLiteral(VELMORA_RESOURCES_DIR));
        AlarmSoundPlayer player(folder);
        player.play(volume);
        QCOMPARE(player.lastVolume(), linear);
        // The project's sound decodes. Waiting for it also lets the sound loader's thread
        // finish before the player goes, which the sanitizer run would otherwise count as a leak.
        QTRY_COMPARE(player.status(), AlarmSoundPlayer::Status::Ready);
    }
};

QTEST_MAIN(TestAlarmSoundPlayer)
#include "tst_alarmsoundplayer.moc"

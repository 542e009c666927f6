// Alarm thresholds of 0, negative or enormous, as a hand-edited "Alarms_Settings.txt" or
// the alarm window may leave them: the alerts follow the comparison as written, the sound
// never plays beyond full volume nor below 1, the gauge stays drawable, the settings survive
// a save and a read, and the tool keeps decoding.
#include "FakeSerialPort.h"
#include "Hex.h"
#include "TestPlatform.h"
#include "monitor/Monitor.h"
#include "display/GaugeGeometry.h"
#include "link/Frame.h"

#include <QFile>
#include <QTest>

#include <cmath>

namespace {

// 48.5 V in, 27.31 V and 5.12 A out, 35.2 degrees, 1519 rpm (protocol V2).
const QByteArray kConverterFrame =
    Frame::withChecksum(hexBytes("00 01 10 10 01 E5 6A AE 14 00 00 00 01 60 03 F5 00 00"));
// 3.20 bar, automatic mode, no pitch correction.
const QByteArray kHpuStatusFrame = Frame::withChecksum(hexBytes("00 12 10 07 01 40 FF 00 00"));

bool finite(const QLineF& line) {
    return std::isfinite(line.x1()) && std::isfinite(line.y1()) && std::isfinite(line.x2()) &&
           std::isfinite(line.y2());
}

} // namespace

class TestThresholdFaults : public QObject {
    Q_OBJECT
private slots:
    void extremeThresholds_alertsSoundAndGauge_data() {
        QTest::addColumn<QByteArray>("settingsFile");
        QTest::addColumn<bool>("voltageAlert");
        QTest::addColumn<bool>("speedAlert");
        QTest::addColumn<bool>("temperatureAlert");
        QTest::addColumn<int>("soundVolume"); // -1: no sound
        const QByteArray enormous(40, '9');
        QTest::newRow("all zero: every alert, no sound, gauge at rest")
            << QByteArray("0\n0\n0\n0\n0\n0\n") << true << true << true << -1;
        QTest::newRow("negative: every alert, no sound")
            << QByteArray("-10.0\n-3000\n-40.0\n-5.0\n-1\n-20\n") << true << true << true << -1;
        QTest::newRow("enormous: no alert, no sound") << enormous + ".0\n" + enormous + "\n" + enormous +
                                                             ".0\n" + enormous + ".0\n0\n" + enormous + "\n"
                                                      << false << false << false << -1;
        QTest::newRow("enormous volume: the sound at full volume")
            << QByteArray("10.0\n3000\n80.0\n5.0\n0\n") + enormous + "\n"
            << true << false << false << 100;
        QTest::newRow("enormous pressure and mode: gauge at its end")
            << QByteArray("53.0\n3000\n80.0\n") + enormous + ".0\n" + enormous + "\n100\n"
            << false << false << false << -1;
    }
    void extremeThresholds_alertsSoundAndGauge() {
        QFETCH(QByteArray, settingsFile);
        QFETCH(bool, voltageAlert);
        QFETCH(bool, speedAlert);
        QFETCH(bool, temperatureAlert);
        QFETCH(int, soundVolume);

        TestPlatform doubles;
        {
            QFile file(doubles.resources.filePath(QStringLiteral("Alarms_Settings.txt")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(settingsFile);
        }
        Monitor monitor(doubles.platform());
        monitor.open();
        doubles.devices.setNames({QStringLiteral("ttyUSB0")});
        doubles.timeline.advance(500);
        monitor.ConnectButton_Action();
        monitor.setLogChecked(false);

        doubles.port.feed(kConverterFrame + kHpuStatusFrame);
        doubles.timeline.advance(20);
        const ControlsState& shown = monitor.controls();
        QVERIFY(shown.LabelValue_Uin.visible && shown.LabelValue_Pression.visible);
        auto fill = [](bool alert) { return alert ? AlertFill::AlertRed : AlertFill::Transparent; };
        QCOMPARE(shown.Rect_AlertInputVoltage, fill(voltageAlert));
        QCOMPARE(shown.Rect_AlertRPM, fill(speedAlert));
        QCOMPARE(shown.Rect_AlertTemp, fill(temperatureAlert));

        // The alarm sound plays 15 s into an input-voltage alert, at a volume the player takes.
        doubles.timeline.advance(15000);
        QCOMPARE(doubles.sound.plays, soundVolume < 0 ? QVector<int>{} : QVector<int>{soundVolume});

        // The gauge is drawable: every line and the angle are numbers.
        MonitorState state = monitor.state(); // the window's gauge keeps its smoothed angle the same way
        for (int paint = 0; paint < 3; ++paint) {
            const GaugeGeometry gauge = paintGauge(state, 150, 120);
            QVERIFY(std::isfinite(gauge.alpha) && std::isfinite(gauge.targetAlpha));
            QVERIFY(finite(gauge.baseline));
            QVERIFY(!gauge.pointerLower.visible || finite(gauge.pointerLower.line));
            QVERIFY(!gauge.pointerUpper.visible || finite(gauge.pointerUpper.line));
        }

        // Saved and read back, the settings are the same (an enormous number stays enormous).
        const MonitorState before = monitor.state();
        QVERIFY(monitor.writeAlarmsFile());
        monitor.applyAlarmSettings({1.5, 7, 1.5, 1.5, 7, 7});
        monitor.readAlarmsFile();
        state = monitor.state();
        QVERIFY(qFuzzyCompare(state.ValeurAlarmeUin, before.ValeurAlarmeUin));
        QCOMPARE(state.ValeurAlarmeRPM, before.ValeurAlarmeRPM);
        QVERIFY(qFuzzyCompare(state.ValeurAlarmeTemp, before.ValeurAlarmeTemp));
        QVERIFY(qFuzzyCompare(state.ValeurHautePression, before.ValeurHautePression));
        QCOMPARE(state.ValeurModeCalage, before.ValeurModeCalage);
        QCOMPARE(state.VolumeAlarmeHydro, before.VolumeAlarmeHydro);

        // Still decoding, nothing to report to the user.
        doubles.port.feed(kConverterFrame);
        doubles.timeline.advance(10);
        QVERIFY(monitor.controls().LabelValue_Uin.visible);
        QVERIFY(doubles.notifier.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestThresholdFaults)
#include "tst_thresholdfaults.moc"

#include "ManualTimeline.h"
#include "alarms/ConverterAlarms.h"
#include "monitor/ReadingsRecord.h"
#include "monitor/ShownControls.h"

#include <QTest>

namespace {

// The alarm sound with the time of each play.
struct TimedSound : SoundPlayer {
    explicit TimedSound(const ManualTimeline& timeline)
        : timeline(timeline) {}
    void play(int volume) override { plays.append({timeline.elapsedMs(), volume}); }
    const ManualTimeline& timeline;
    QList<QPair<qint64, int>> plays; // (ms since start, volume)
};

// The alarm part of the main window: the two timers as designed, wired to their handlers, and
// the alert rows shown from the alarm states after each.
struct AlarmBench {
    ManualTimeline timeline;
    MonitorState state;
    ControlsState controls;
    TimedSound sound{timeline};
    QObject owner;
    Timer* timerAlarm = timeline.create(QStringLiteral("TimerAlarm"), 200, &owner);
    Timer* timerAlarmSound = timeline.create(QStringLiteral("TimerAlarmSound"), 15000, &owner);
    ConverterAlarms alarms{state, *timerAlarm, *timerAlarmSound, sound};

    AlarmBench() {
        QObject::connect(timerAlarm, &Timer::timeout, &owner, [this] {
            alarms.TimerAlarm_Action();
            show();
        });
        QObject::connect(timerAlarmSound, &Timer::timeout, &owner,
                         [this] { alarms.TimerAlarmSound_Action(); });
        timerAlarm->setMode(Timer::Single); // armed at window creation
    }

    // One converter frame as decoded: the values the alerts read, -1 for a value not carried.
    void frame(double uIn, qint64 rpm1 = 1500, qint64 rpm2 = 0, double temp = 30.0) {
        state.U_in = uIn;
        state.RPM1 = rpm1;
        state.RPM2 = rpm2;
        state.TempCV = temp;
        alarms.evaluate(converterReading(state));
        show();
    }
    void show() { showReadings(controls, state, alarms.states()); }
    // Frames every periodMs from now for durationMs (the first one now).
    void framesFor(qint64 durationMs, qint64 periodMs, double uIn) {
        for (qint64 t = 0; t < durationMs; t += periodMs) {
            frame(uIn);
            timeline.advance(periodMs);
        }
    }
    bool red(AlertFill fill) const { return fill == AlertFill::AlertRed; }
};

using Plays = QList<QPair<qint64, int>>;

} // namespace

class TestConverterAlarms : public QObject {
    Q_OBJECT
private slots:
    void conditions_data() {
        QTest::addColumn<double>("uIn");
        QTest::addColumn<qint64>("rpm1");
        QTest::addColumn<qint64>("rpm2");
        QTest::addColumn<double>("temp");
        QTest::addColumn<bool>("speedAlert");
        QTest::addColumn<bool>("voltageAlert");
        QTest::addColumn<bool>("tempAlert");
        // Thresholds: 53.0 V, 3000 rpm, 80.0 degrees.
        QTest::newRow("all normal") << 40.0 << qint64(1500) << qint64(0) << 30.0 << false << false << false;
        QTest::newRow("U_in 53.0 equals threshold")
            << 53.0 << qint64(1500) << qint64(0) << 30.0 << false << false << false;
        QTest::newRow("U_in 53.1 above threshold")
            << 53.1 << qint64(1500) << qint64(0) << 30.0 << false << true << false;
        QTest::newRow("no rotation, U_in 10.1")
            << 10.1 << qint64(0) << qint64(0) << 30.0 << true << false << false;
        QTest::newRow("no rotation, U_in 10.0")
            << 10.0 << qint64(0) << qint64(0) << 30.0 << false << false << false;
        QTest::newRow("V2 RPM1 3001") << 40.0 << qint64(3001) << qint64(0) << 30.0 << true << false << false;
        QTest::newRow("RPM1 3000 equals threshold")
            << 40.0 << qint64(3000) << qint64(0) << 30.0 << false << false << false;
        QTest::newRow("V1 RPM2 3150 above")
            << 40.0 << qint64(3000) << qint64(3150) << 30.0 << true << false << false;
        QTest::newRow("temperature 80.0 equals threshold")
            << 40.0 << qint64(1500) << qint64(0) << 80.0 << false << false << false;
        QTest::newRow("temperature 80.1 above")
            << 40.0 << qint64(1500) << qint64(0) << 80.1 << false << false << true;
        QTest::newRow("stale markers raise nothing")
            << -1.0 << qint64(-1) << qint64(-1) << -1.0 << false << false << false;
        QTest::newRow("all three at once") << 60.0 << qint64(0) << qint64(0) << 95.0 << true << true << true;
    }
    void conditions() {
        QFETCH(double, uIn);
        QFETCH(qint64, rpm1);
        QFETCH(qint64, rpm2);
        QFETCH(double, temp);
        QFETCH(bool, speedAlert);
        QFETCH(bool, voltageAlert);
        QFETCH(bool, tempAlert);
        AlarmBench bench;
        bench.timeline.advance(200); // the design-time fills cleared once
        QVERIFY(!bench.timerAlarm->isRunning());

        bench.frame(uIn, rpm1, rpm2, temp);

        // Every frame paints each rectangle red or transparent.
        const auto expected = [](bool alert) { return alert ? AlertFill::AlertRed : AlertFill::Transparent; };
        QCOMPARE(bench.controls.Rect_AlertRPM, expected(speedAlert));
        QCOMPARE(bench.controls.Rect_AlertInputVoltage, expected(voltageAlert));
        QCOMPARE(bench.controls.Rect_AlertTemp, expected(tempAlert));
        QCOMPARE(bench.timerAlarm->isRunning(), speedAlert || voltageAlert || tempAlert);
        QCOMPARE(bench.timerAlarmSound->isRunning(), voltageAlert);
        QCOMPARE(bench.alarms.states().speed, speedAlert);
        QCOMPARE(bench.alarms.states().inputVoltage, voltageAlert);
        QCOMPARE(bench.alarms.states().temperature, tempAlert);
    }

    // A speed the frame did not carry (-1) is not judged, even by thresholds below the marker
    // that any real speed would exceed; the values it did carry still are.
    void speedNotCarriedIsNotJudged() {
        AlarmBench bench;
        bench.state.ValeurAlarmeRPM = -3000;
        bench.state.ValeurAlarmeUin = -5.0;
        bench.state.ValeurAlarmeTemp = -40.0;
        bench.timeline.advance(200);

        bench.frame(12.0, -1, -1, 30.0); // 12 V on the generator, no speed carried

        QCOMPARE(bench.controls.Rect_AlertRPM, AlertFill::Transparent);
        QCOMPARE(bench.controls.Rect_AlertInputVoltage, AlertFill::AlertRed);
        QCOMPARE(bench.controls.Rect_AlertTemp, AlertFill::AlertRed);

        bench.frame(12.0, 0, 0, 30.0); // the same with a speed of 0 carried: lit
        QCOMPARE(bench.controls.Rect_AlertRPM, AlertFill::AlertRed);
    }

    void designFillsClearedByFirstTimerAlarm() {
        AlarmBench bench;
        QCOMPARE(bench.controls.Rect_AlertInputVoltage, AlertFill::AlertRed);
        QCOMPARE(bench.controls.Rect_AlertRPM, AlertFill::DarkRed);
        bench.timeline.advance(199);
        QCOMPARE(bench.controls.Rect_AlertTemp, AlertFill::DarkRed);
        bench.timeline.advance(1);
        QCOMPARE(bench.controls.Rect_AlertInputVoltage, AlertFill::Transparent);
        QCOMPARE(bench.controls.Rect_AlertRPM, AlertFill::Transparent);
        QCOMPARE(bench.controls.Rect_AlertTemp, AlertFill::Transparent);
        QVERIFY(!bench.timerAlarm->isRunning());
    }

    // Frames slower than 200 ms: red for 200 ms after each frame, then transparent.
    void alertingRowBlinksWithSlowFrames() {
        AlarmBench bench;
        bench.timeline.advance(200);
        for (int frame = 0; frame < 3; ++frame) {
            bench.frame(40.0, 1500, 0, 95.0);
            QVERIFY(bench.red(bench.controls.Rect_AlertTemp));
            bench.timeline.advance(199);
            QVERIFY2(bench.red(bench.controls.Rect_AlertTemp), "red until 200 ms after the frame");
            bench.timeline.advance(1);
            QCOMPARE(bench.controls.Rect_AlertTemp, AlertFill::Transparent);
            bench.timeline.advance(100);
            QCOMPARE(bench.controls.Rect_AlertTemp, AlertFill::Transparent);
        }
    }

    // Frames faster than 200 ms: each arming restarts the 200 ms, the row stays red.
    void alertingRowStaysRedWithFastFrames() {
        AlarmBench bench;
        bench.timeline.advance(200);
        for (int frame = 0; frame < 5; ++frame) {
            bench.frame(40.0, 3500);
            bench.timeline.advance(150);
            QVERIFY(bench.red(bench.controls.Rect_AlertRPM));
        }
        bench.timeline.advance(49);
        QVERIFY(bench.red(bench.controls.Rect_AlertRPM));
        bench.timeline.advance(1);
        QCOMPARE(bench.controls.Rect_AlertRPM, AlertFill::Transparent);
    }

    // TimerAlarm clears all three rows, whichever alert armed it; the alarms stay held until a
    // frame finds them gone.
    void timerAlarmClearsEveryRow() {
        AlarmBench bench;
        bench.timeline.advance(200);
        bench.frame(60.0, 0, 0, 95.0);
        bench.timeline.advance(200);
        QCOMPARE(bench.controls.Rect_AlertRPM, AlertFill::Transparent);
        QCOMPARE(bench.controls.Rect_AlertInputVoltage, AlertFill::Transparent);
        QCOMPARE(bench.controls.Rect_AlertTemp, AlertFill::Transparent);
        QVERIFY(bench.alarms.states().speed && bench.alarms.states().inputVoltage &&
                bench.alarms.states().temperature);
        bench.frame(40.0);
        QVERIFY(!bench.alarms.states().speed && !bench.alarms.states().inputVoltage &&
                !bench.alarms.states().temperature);
    }

    void soundTimeline_data() {
        QTest::addColumn<qint64>("alertMs"); // input-voltage alert from 0 for this long
        QTest::addColumn<qint64>("volume");
        QTest::addColumn<Plays>("plays");
        QTest::newRow("40 s alert plays at 15, 25, 35 s")
            << qint64(40000) << qint64(100) << Plays{{15000, 100}, {25000, 100}, {35000, 100}};
        QTest::newRow("alert cleared within 15 s is silent") << qint64(14900) << qint64(100) << Plays{};
        QTest::newRow("alert cleared just after the first play")
            << qint64(15100) << qint64(100) << Plays{{15000, 100}};
        QTest::newRow("volume 0 never starts the sound") << qint64(40000) << qint64(0) << Plays{};
        QTest::newRow("volume 1 starts it") << qint64(16000) << qint64(1) << Plays{{15000, 1}};
        QTest::newRow("volume above 100 plays at 100") << qint64(16000) << qint64(250) << Plays{{15000, 100}};
        QTest::newRow("negative volume never starts the sound") << qint64(40000) << qint64(-5) << Plays{};
    }
    void soundTimeline() {
        QFETCH(qint64, alertMs);
        QFETCH(qint64, volume);
        AlarmBench bench;
        bench.state.VolumeAlarmeHydro = volume;
        bench.framesFor(alertMs, 100, 60.0);
        QVERIFY(bench.red(bench.controls.Rect_AlertInputVoltage)); // still within 200 ms of the last frame
        bench.framesFor(60000 - alertMs, 100, 50.0);               // normal frames for the rest of the minute
        QTEST(bench.sound.plays, "plays");
        QVERIFY(!bench.timerAlarmSound->isRunning());
        QCOMPARE(bench.timerAlarmSound->period(), 15000);
    }

    void volumeZeroStillLightsTheRow() {
        AlarmBench bench;
        bench.state.VolumeAlarmeHydro = 0;
        bench.frame(53.1);
        QVERIFY(bench.red(bench.controls.Rect_AlertInputVoltage));
        QVERIFY(!bench.timerAlarmSound->isRunning());
    }

    // The volume is tested when the sound starts; each play takes the volume of its time.
    void laterVolumeChangesAffectFollowingPlays() {
        AlarmBench bench;
        bench.framesFor(20000, 1000, 60.0);
        bench.state.VolumeAlarmeHydro = 40;
        bench.framesFor(10000, 1000, 60.0);
        bench.state.VolumeAlarmeHydro = -20; // clamped to silent
        bench.framesFor(10000, 1000, 60.0);
        QCOMPARE(bench.sound.plays, (Plays{{15000, 100}, {25000, 40}, {35000, 0}}));
    }

    // A normal frame re-arms the full 15 s delay for the next alert.
    void newAlertWaitsFifteenSecondsAgain() {
        AlarmBench bench;
        bench.framesFor(20000, 1000, 60.0); // plays at 15 s
        bench.frame(53.0);                  // equal to the threshold: back to off
        QVERIFY(!bench.timerAlarmSound->isRunning());
        QCOMPARE(bench.timerAlarmSound->period(), 15000);
        bench.framesFor(20000, 1000, 60.0); // alert again from 20 s
        QCOMPARE(bench.sound.plays, (Plays{{15000, 100}, {35000, 100}}));
    }

    // Frames during the alert do not push the first play back, and a converter that goes
    // silent leaves the sound repeating.
    void silentConverterLeavesTheSoundRepeating() {
        AlarmBench bench;
        bench.framesFor(16000, 500, 60.0);
        bench.timeline.advance(30000); // no frames at all
        QCOMPARE(bench.sound.plays, (Plays{{15000, 100}, {25000, 100}, {35000, 100}, {45000, 100}}));
        QCOMPARE(bench.timerAlarmSound->mode(), Timer::Repeating);
        QCOMPARE(bench.timerAlarmSound->period(), 10000);
    }

    void fillColours() {
        QCOMPARE(alertFillArgb(AlertFill::AlertRed), 0xFFFB0106u);
        QCOMPARE(alertFillArgb(AlertFill::DarkRed), 0xFF800002u);
        QCOMPARE(alertFillArgb(AlertFill::Transparent) >> 24, 0u); // fully transparent
    }
};

QTEST_GUILESS_MAIN(TestConverterAlarms)
#include "tst_converteralarms.moc"

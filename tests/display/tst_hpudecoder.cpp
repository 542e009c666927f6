#include "FrameFixture.h"
#include "core/Captions.h"
#include "display/HpuDecoder.h"
#include "display/StaleData.h"

#include <QTest>

// HPU status frames: header 00 12 10 07, pressure (2 bytes), mode, pitch, pitch design byte.
class TestHpuDecoder : public QObject {
    Q_OBJECT
private slots:
    void pressure_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<double>("pression");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("comma");
        QTest::newRow("01 F4 is 5 bar") << "00 12 10 07 01 F4 00 00 00" << 5.0 << "5.00"
                                        << "5,00";
        QTest::newRow("FF FF is the largest") << "00 12 10 07 FF FF 00 00 00" << 655.35 << "655.35"
                                              << "655,35";
        QTest::newRow("zero") << "00 12 10 07 00 00 00 00 00" << 0.0 << "0.00"
                              << "0,00";
        QTest::newRow("one hundredth") << "00 12 10 07 00 01 00 00 00" << 0.01 << "0.01"
                                       << "0,01";
    }
    void pressure() {
        QFETCH(QString, frame);
        MonitorState state;
        loadFrame(state, frame.toLatin1().constData());
        keepHpuStatusFrame(state);
        QTEST(state.Pression, "pression");

        ControlsState point;
        show(state, point, pointLocale());
        QTEST(point.LabelValue_Pression.text, "point");
        ControlsState comma;
        show(state, comma, commaLocale());
        QTEST(comma.LabelValue_Pression.text, "comma");
    }

    // Each row: ModeHPU and Pitch as left by earlier frames (empty at start-up, a single
    // space after a stale reset), then the frame's mode and pitch bytes.
    void modeAndPitch_data() {
        QTest::addColumn<QString>("previousMode");
        QTest::addColumn<QString>("previousPitch");
        QTest::addColumn<QString>("modeAndPitch");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("pitch");
        QTest::newRow("manual, inactive") << "Auto"
                                          << "release"
                                          << "00 00"
                                          << "Manuel"
                                          << "inactive";
        QTest::newRow("auto, pump active") << "Manuel"
                                           << "inactive"
                                           << "FF F0"
                                           << "Auto"
                                           << "pump active";
        QTest::newRow("release active") << "Auto"
                                        << "inactive"
                                        << "FF 0F"
                                        << "Auto"
                                        << "release";
        QTest::newRow("unknown codes keep Auto and the pitch") << "Auto"
                                                               << "pump active"
                                                               << "07 01"
                                                               << "Auto"
                                                               << "pump active";
        QTest::newRow("first frame with mode 7 shows empty") << ""
                                                             << ""
                                                             << "07 01"
                                                             << ""
                                                             << "";
        QTest::newRow("after stale reset unknown codes show a blank") << " "
                                                                      << " "
                                                                      << "07 01"
                                                                      << " "
                                                                      << " ";
        QTest::newRow("after stale reset a known code replaces the blank") << " "
                                                                           << " "
                                                                           << "00 0F"
                                                                           << "Manuel"
                                                                           << "release";
    }
    void modeAndPitch() {
        QFETCH(QString, previousMode);
        QFETCH(QString, previousPitch);
        QFETCH(QString, modeAndPitch);
        MonitorState state;
        state.ModeHPU = previousMode;
        state.Pitch = previousPitch;
        loadFrame(state, ("00 12 10 07 01 F4 " + modeAndPitch + " 01").toLatin1().constData());

        keepHpuStatusFrame(state);
        ControlsState controls;
        show(state, controls, pointLocale());

        QTEST(state.ModeHPU, "mode");
        QTEST(state.Pitch, "pitch");
        QTEST(controls.LabelValue_ModeHPU.text, "mode");
        QTEST(controls.LabelValue_Pitch.text, "pitch");
    }

    void pitchTextsAreTheCaptionConstants() {
        MonitorState state;
        loadFrame(state, "00 12 10 07 00 00 00 F0 00");
        keepHpuStatusFrame(state);
        QCOMPARE(state.Pitch, App::text(App::Caption::kPitchPump));
    }

    void buttonCaptions_data() {
        QTest::addColumn<QString>("designByte");
        QTest::addColumn<qint64>("modeCalage");
        QTest::addColumn<QString>("pompe");
        QTest::addColumn<QString>("release");
        QTest::newRow("0 + 0: feather and stop") << "00" << qint64(0) << "FEATHER"
                                                 << "STOP";
        QTest::newRow("1 + 0: pump and release") << "01" << qint64(0) << "PUMP"
                                                 << "RELEASE";
        QTest::newRow("0 + 1: pump and release") << "00" << qint64(1) << "PUMP"
                                                 << "RELEASE";
        QTest::newRow("1 + 1: pump and release") << "01" << qint64(1) << "PUMP"
                                                 << "RELEASE";
        QTest::newRow("255 + 0: pump and release") << "FF" << qint64(0) << "PUMP"
                                                   << "RELEASE";
        QTest::newRow("1 + -1 sums to 0: feather and stop") << "01" << qint64(-1) << "FEATHER"
                                                            << "STOP";
    }
    void buttonCaptions() {
        QFETCH(QString, designByte);
        QFETCH(qint64, modeCalage);
        MonitorState state;
        state.ValeurModeCalage = modeCalage;
        loadFrame(state, ("00 12 10 07 00 00 00 00 " + designByte).toLatin1().constData());
        keepHpuStatusFrame(state);
        ControlsState controls;
        show(state, controls, pointLocale());
        QTEST(controls.PompeButton.caption, "pompe");
        QTEST(controls.ReleaseButton.caption, "release");
    }

    // Hidden at start-up and after a stale reset; every status frame shows them all.
    void showsEveryHpuControl_data() {
        QTest::addColumn<bool>("afterStaleReset");
        QTest::newRow("first frame after start-up") << false;
        QTest::newRow("first frame after a stale reset") << true;
    }
    void showsEveryHpuControl() {
        QFETCH(bool, afterStaleReset);
        MonitorState state;
        ControlsState controls;
        QVERIFY(!controls.CanvasProp_visible && !controls.PompeButton.visible);
        if (afterStaleReset)
            stopHpuData(state, controls);
        loadFrame(state, "00 12 10 07 00 64 FF 00 01");
        keepHpuStatusFrame(state);
        show(state, controls, pointLocale());

        QVERIFY(controls.LabelValue_Pression.visible);
        QVERIFY(controls.LabelValue_Pitch.visible);
        QVERIFY(controls.LabelValue_ModeHPU.visible);
        QVERIFY(controls.LabelName_Pression_visible);
        QVERIFY(controls.LabelName_Pitch_visible);
        QVERIFY(controls.LabelName_ModeHPU_visible);
        QVERIFY(controls.CanvasProp_visible);
        QVERIFY(controls.PompeButton.visible);
        QVERIFY(controls.ReleaseButton.visible);
        QCOMPARE(controls.LabelValue_Pression.text, QStringLiteral("1.00"));
        QCOMPARE(controls.LabelValue_ModeHPU.text, QStringLiteral("Auto"));
        QCOMPARE(controls.LabelValue_Pitch.text, QStringLiteral("inactive"));
        // presenceHPU and timeLastDataHPU belong to the link, which sets them after the call.
        QVERIFY(!state.presenceHPU);
        QCOMPARE(state.timeLastDataHPU, qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestHpuDecoder)
#include "tst_hpudecoder.moc"

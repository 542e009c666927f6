#include "FrameFixture.h"
#include "display/ConverterDecoder.h"
#include "display/HpuDecoder.h"
#include "display/StaleData.h"

#include <QTest>

class TestStaleData : public QObject {
    Q_OBJECT
private slots:
    void limitIsExclusive_data() {
        QTest::addColumn<qint64>("now");
        QTest::addColumn<qint64>("lastData");
        QTest::addColumn<bool>("stale");
        QTest::newRow("3000 ms is fresh") << qint64(13000) << qint64(10000) << false;
        QTest::newRow("3001 ms is stale") << qint64(13001) << qint64(10000) << true;
        QTest::newRow("just stamped") << qint64(10000) << qint64(10000) << false;
        QTest::newRow("never stamped, 3000 ms after start") << qint64(3000) << qint64(0) << false;
        QTest::newRow("never stamped, 3001 ms after start") << qint64(3001) << qint64(0) << true;
    }
    void limitIsExclusive() {
        QFETCH(qint64, now);
        QFETCH(qint64, lastData);
        QTEST(isStale(now, lastData), "stale");
    }

    void stopDataConverterMarksAndHidesConverterValues() {
        MonitorState state;
        ControlsState controls;
        showLiveData(state, controls);
        const MonitorState hpuBefore = state;
        const ControlsState controlsBefore = controls;

        stopConverterData(state, controls);
        stopConverterData(state, controls); // repeated on every tick while silent

        QCOMPARE(state.U_in, -1.0);
        QCOMPARE(state.U_out, -1.0);
        QCOMPARE(state.I_out, -1.0);
        QCOMPARE(state.P_out, -1.0);
        QCOMPARE(state.TempCV, -1.0);
        QCOMPARE(state.RPM1, qint64(-1));
        QCOMPARE(state.RPM2, qint64(-1));
        for (const LabelState* label :
             {&controls.LabelValue_Uin, &controls.LabelValue_Uout, &controls.LabelValue_Iout,
              &controls.LabelValue_Pout, &controls.LabelValue_T, &controls.LabelValue_RPM})
            QVERIFY(!label->visible);

        // Version, HPU, alert fills untouched.
        QCOMPARE(state.ProtocoleVersion, QStringLiteral("V1"));
        QCOMPARE(state.Pression, hpuBefore.Pression);
        QCOMPARE(state.presenceHPU, true);
        QVERIFY(controls.CanvasProp_visible && controls.PompeButton.visible);
        QVERIFY(controls.LabelName_Pression_visible && controls.LabelValue_Pression.visible);
        QCOMPARE(controls.Rect_AlertInputVoltage, controlsBefore.Rect_AlertInputVoltage);
        QCOMPARE(controls.Rect_AlertRPM, controlsBefore.Rect_AlertRPM);
        QCOMPARE(controls.LabelValue_Uin.text, controlsBefore.LabelValue_Uin.text);
    }

    void stopDataHPUMarksAndHidesHpuControls() {
        MonitorState state;
        ControlsState controls;
        showLiveData(state, controls);
        state.filtered_alpha = 0.9;
        const MonitorState before = state;

        stopHpuData(state, controls);
        stopHpuData(state, controls);

        QCOMPARE(state.Pression, -1.0);
        QCOMPARE(state.ModeHPU, QStringLiteral(" "));
        QCOMPARE(state.Pitch, QStringLiteral(" "));
        QVERIFY(!state.presenceHPU);
        QVERIFY(!controls.LabelValue_Pression.visible);
        QVERIFY(!controls.LabelValue_Pitch.visible);
        QVERIFY(!controls.LabelValue_ModeHPU.visible);
        QVERIFY(!controls.LabelName_Pression_visible);
        QVERIFY(!controls.LabelName_Pitch_visible);
        QVERIFY(!controls.LabelName_ModeHPU_visible);
        QVERIFY(!controls.CanvasProp_visible);
        QVERIFY(!controls.PompeButton.visible);
        QVERIFY(!controls.ReleaseButton.visible);

        // The gauge's smoothed angle and the converter side stay.
        QCOMPARE(state.filtered_alpha, 0.9);
        QCOMPARE(state.U_in, before.U_in);
        QCOMPARE(state.RPM1, before.RPM1);
        QVERIFY(controls.LabelValue_Uin.visible && controls.LabelValue_RPM.visible);
    }

private:
    // Both devices present: a V1 converter frame and an HPU status frame shown.
    static void showLiveData(MonitorState& state, ControlsState& controls) {
        loadFrame(state, "00 01 10 10 01 F4 00 F0 00 19 00 00 01 36 00 C8 00 D2");
        keepConverterFrame(state);
        show(state, controls, pointLocale());
        loadFrame(state, "00 12 10 07 01 F4 FF 00 01");
        keepHpuStatusFrame(state);
        show(state, controls, pointLocale());
        state.presenceHPU = true; // as the link sets it after a status frame
    }
};

QTEST_GUILESS_MAIN(TestStaleData)
#include "tst_staledata.moc"

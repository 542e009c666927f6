// What the values page shows, computed from the readings in the record and the alarm states.
#include "core/Captions.h"
#include "monitor/ReadingsRecord.h"
#include "monitor/ShownControls.h"

#include <QTest>

namespace {

const QLocale kPoint = QLocale::c();
const QLocale kComma(QLocale::French, QLocale::France);

// A V1 frame: 53.1 V in, 24.0 V x 2.5 A out, 31.3 degrees, speeds 3000 and 3150 rpm.
ConverterReading v1Reading() {
    ConverterReading r;
    r.U_in = 53.1;
    r.U_out = 24.0;
    r.I_out = 2.5;
    r.P_out = 60.0;
    r.TempCV = 31.3;
    r.RPM1 = 3000;
    r.RPM2 = 3150;
    r.ProtocoleVersion = QStringLiteral("V1");
    return r;
}

HpuReading hpuReading(quint8 pitchDesign) {
    HpuReading r;
    r.Pression = 2.5;
    r.ModeHPU = QStringLiteral("Auto");
    r.Pitch = App::text(App::Caption::kPitchPump);
    r.pitchDesign = pitchDesign;
    return r;
}

enum class Converter { NotHeard, V1, NeitherVersion, FoundSilent };

QList<const LabelState*> valueLabels(const ControlsState& c) {
    return {&c.LabelValue_Uin, &c.LabelValue_Uout, &c.LabelValue_Iout,
            &c.LabelValue_Pout, &c.LabelValue_T, &c.LabelValue_RPM};
}

} // namespace

Q_DECLARE_METATYPE(Converter)
Q_DECLARE_METATYPE(AlertRows)
Q_DECLARE_METATYPE(AlertFill)

class TestShownControls : public QObject {
    Q_OBJECT
private slots:
    // Uin, Uout, Iout, Pout, T, RPM: the text of a known value, or "hidden" with the text kept.
    void converterLabels_data() {
        QTest::addColumn<Converter>("converter");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QStringList>("shown");
        const QString hidden = QStringLiteral("hidden");
        QTest::newRow("not heard since start") << Converter::NotHeard << true << QStringList(6, hidden);
        QTest::newRow("V1, point") << Converter::V1 << false
                                   << QStringList{"53.10", "24.00", "2.50", "060", "31.30", "3150"};
        QTest::newRow("V1, comma") << Converter::V1 << true
                                   << QStringList{"53,10", "24,00", "2,50", "060", "31,30", "3150"};
        QTest::newRow("neither version: only what it carried")
            << Converter::NeitherVersion << true << QStringList{"53,10", hidden, hidden, hidden, "31,30", hidden};
        QTest::newRow("found silent") << Converter::FoundSilent << false << QStringList(6, hidden);
    }
    void converterLabels() {
        QFETCH(Converter, converter);
        QFETCH(bool, comma);
        QFETCH(QStringList, shown);
        MonitorState state;
        ControlsState controls;
        if (converter != Converter::NotHeard) {
            // A frame shown first, so that a hidden label has a text of its own to keep.
            keepConverterReading(state, v1Reading());
            showReadings(controls, state, AlarmStates{}, kPoint);
        }
        ConverterReading neither = v1Reading();
        neither.U_out = neither.I_out = neither.P_out = std::nullopt;
        neither.RPM1 = neither.RPM2 = std::nullopt;
        neither.ProtocoleVersion.clear();
        if (converter == Converter::NeitherVersion)
            keepConverterReading(state, neither);
        if (converter == Converter::FoundSilent)
            forgetConverterValues(state);

        showReadings(controls, state, AlarmStates{}, comma ? kComma : kPoint);

        // A hidden label keeps the design text or the last value shown; never the -1 marker.
        const QStringList kept = converter == Converter::NotHeard
                                     ? QStringList{"00,00", "00,00", "00,00", "000", "00,0", "0000"}
                                     : QStringList{"53.10", "24.00", "2.50", "060", "31.30", "3150"};
        const QList<const LabelState*> labels = valueLabels(controls);
        for (int i = 0; i < labels.size(); ++i) {
            const bool visible = shown[i] != QLatin1String("hidden");
            QCOMPARE(labels[i]->visible, visible);
            QCOMPARE(labels[i]->text, visible ? shown[i] : kept[i]);
        }
        QCOMPARE(state.ProtocoleVersion, QString::fromLatin1(converter == Converter::NotHeard ? "V2" : "V1"));
    }

    // The HPU rows, their names, CanvasProp and both buttons appear with a status frame and go
    // with the HPU: an EEPROM answer alone (presenceHPU) shows nothing.
    void hpuControls_data() {
        QTest::addColumn<bool>("statusHeard");
        QTest::addColumn<bool>("foundSilent");
        QTest::addColumn<bool>("presence");
        QTest::addColumn<quint8>("pitchDesign");
        QTest::addColumn<qint64>("modeCalage");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("pompe");
        QTest::newRow("not heard") << false << false << false << quint8(1) << qint64(0) << false << "PUMP";
        QTest::newRow("an EEPROM answer only") << false << false << true << quint8(1) << qint64(0) << false << "PUMP";
        QTest::newRow("status, design 1") << true << false << true << quint8(1) << qint64(0) << true << "PUMP";
        QTest::newRow("status, design 0") << true << false << true << quint8(0) << qint64(0) << true << "FEATHER";
        QTest::newRow("status, design 1 + calage -1") << true << false << true << quint8(1) << qint64(-1) << true
                                                      << "FEATHER";
        QTest::newRow("status, then silent: captions kept")
            << true << true << false << quint8(0) << qint64(0) << false << "FEATHER";
    }
    void hpuControls() {
        QFETCH(bool, statusHeard);
        QFETCH(bool, foundSilent);
        QFETCH(bool, presence);
        QFETCH(quint8, pitchDesign);
        QFETCH(qint64, modeCalage);
        QFETCH(bool, visible);
        QFETCH(QString, pompe);
        MonitorState state;
        ControlsState controls;
        state.ValeurModeCalage = modeCalage;
        state.presenceHPU = presence;
        if (statusHeard) {
            keepHpuReading(state, hpuReading(pitchDesign));
            showReadings(controls, state, AlarmStates{}, kComma);
        }
        state.ValeurModeCalage = 0; // captions follow the frame, not a later setting
        if (foundSilent)
            forgetHpuValues(state);

        showReadings(controls, state, AlarmStates{}, kComma);

        for (bool shown : {controls.LabelValue_Pression.visible, controls.LabelValue_ModeHPU.visible,
                           controls.LabelValue_Pitch.visible, controls.LabelName_Pression_visible,
                           controls.LabelName_ModeHPU_visible, controls.LabelName_Pitch_visible,
                           controls.CanvasProp_visible, controls.PompeButton.visible, controls.ReleaseButton.visible})
            QCOMPARE(shown, visible);
        QCOMPARE(controls.PompeButton.caption, pompe);
        QCOMPARE(controls.ReleaseButton.caption, pompe == QLatin1String("FEATHER") ? QStringLiteral("STOP")
                                                                                 : App::text(App::Caption::kRelease));
        if (statusHeard) { // shown or kept
            QCOMPARE(controls.LabelValue_Pression.text, QStringLiteral("2,50"));
            QCOMPARE(controls.LabelValue_ModeHPU.text, QStringLiteral("Auto"));
            QCOMPARE(controls.LabelValue_Pitch.text, App::text(App::Caption::kPitchPump));
        }
    }

    // Input voltage, speed, temperature.
    void alertFills_data() {
        QTest::addColumn<AlertRows>("rows");
        QTest::addColumn<bool>("held");
        QTest::addColumn<QList<AlertFill>>("fills");
        const AlertFill red = AlertFill::AlertRed;
        const AlertFill dark = AlertFill::DarkRed;
        const AlertFill none = AlertFill::Transparent;
        QTest::newRow("as designed") << AlertRows::AsDesigned << false << QList<AlertFill>{red, dark, dark};
        QTest::newRow("as designed, held") << AlertRows::AsDesigned << true << QList<AlertFill>{red, dark, dark};
        QTest::newRow("lit, none held") << AlertRows::Lit << false << QList<AlertFill>{none, none, none};
        QTest::newRow("lit, all held") << AlertRows::Lit << true << QList<AlertFill>{red, red, red};
        QTest::newRow("cleared, all held") << AlertRows::Cleared << true << QList<AlertFill>{none, none, none};
    }
    void alertFills() {
        QFETCH(AlertRows, rows);
        QFETCH(bool, held);
        QFETCH(QList<AlertFill>, fills);
        MonitorState state;
        ControlsState controls;
        showReadings(controls, state, AlarmStates{held, held, held, rows});
        QCOMPARE(controls.Rect_AlertInputVoltage, fills[0]);
        QCOMPARE(controls.Rect_AlertRPM, fills[1]);
        QCOMPARE(controls.Rect_AlertTemp, fills[2]);

        // Each row follows its own alarm.
        if (rows == AlertRows::Lit) {
            showReadings(controls, state, AlarmStates{false, true, false, rows});
            QCOMPARE(controls.Rect_AlertInputVoltage, AlertFill::Transparent);
            QCOMPARE(controls.Rect_AlertRPM, AlertFill::AlertRed);
            QCOMPARE(controls.Rect_AlertTemp, AlertFill::Transparent);
        }
    }

    // The record keeps -1 for what a reading leaves empty, and gives it back empty.
    void recordKeepsReadingsTyped() {
        MonitorState state;
        ConverterReading partial = v1Reading();
        partial.U_out = std::nullopt;
        partial.RPM1 = partial.RPM2 = std::nullopt;
        partial.ProtocoleVersion.clear();
        keepConverterReading(state, partial);
        QCOMPARE(state.U_out, kNotKnown);
        QCOMPARE(state.RPM1, qint64(-1));
        QCOMPARE(state.ProtocoleVersion, QStringLiteral("V2")); // kept

        const ConverterReading back = converterReading(state);
        QCOMPARE(back.U_in.value_or(kNotKnown), 53.1);
        QVERIFY(!back.U_out && !back.RPM1 && !back.speed());
        QVERIFY(!hpuStatusKnown(state));
        keepHpuReading(state, hpuReading(1));
        QVERIFY(hpuStatusKnown(state));
        forgetHpuValues(state);
        QVERIFY(!hpuStatusKnown(state));
        QCOMPARE(state.ModeHPU, QStringLiteral(" "));
    }
};

QTEST_GUILESS_MAIN(TestShownControls)
#include "tst_showncontrols.moc"
